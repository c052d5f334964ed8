# Uses Ril4410 as a consumer would, in one of two ways (MODE):
#   prefix        installed with --prefix: the consumer project through find_package, and a
#                 C program built with the flags that the relocated pkg-config file prints
#   subdirectory  the consumer project with Ril4410 built in its tree (add_subdirectory)
# The consumer project compiles its string tables with ril4410_add_string_table(), each step
# once in a parallel build, again once after a text changes, and rebuilds nothing when a text
# is saved unchanged (under Ninja and Unix Makefiles for the installed package).
# Usage: cmake -DMODE=... -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DVERSION=...
#              -DC_COMPILER=... -DGENERATOR=... -P check_install.cmake
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGV}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
  set(last_messages "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}: '${actual}', expected '${expected}'")
  endif()
endfunction()

# The program with the embedded table runs alone in a folder of its own, no BIN beside it.
function(run_embedded expected)
  set(alone ${WORK_DIR}/embedded-alone)
  file(REMOVE_RECURSE ${alone})
  file(COPY ${consumer_build}/embedded DESTINATION ${alone})
  run(${alone}/embedded WORKING_DIRECTORY ${alone})
  file(GLOB beside ${alone}/*)
  if(NOT last_output STREQUAL expected OR NOT beside STREQUAL "${alone}/embedded")
    message(FATAL_ERROR "embedded printed '${last_output}' beside '${beside}', expected '${expected}'")
  endif()
endfunction()

# The tables whose steps the build's output shows, by name, one entry per run of a step.
function(expect_steps what output expected)
  string(REGEX MATCHALL "Compiling string table [^ \n]+" ran "${output}")
  list(TRANSFORM ran REPLACE "^Compiling string table " "")
  list(SORT ran)
  expect("${what}: the steps that ran" "${ran}" "${expected}")
endfunction()

# The times (in seconds) of the consumer build's tables, generated sources, objects,
# libraries and programs.
function(build_times out)
  file(GLOB_RECURSE files ${consumer_build}/*.bin ${consumer_build}/*.h ${consumer_build}/*.c
       ${consumer_build}/*.o ${consumer_build}/*.a ${consumer_build}/*.so)
  set(times "")
  foreach(file IN LISTS files ITEMS ${consumer_build}/greeter ${consumer_build}/embedded)
    file(TIMESTAMP ${file} time "%s" UTC)
    list(APPEND times "${file}@${time}")
  endforeach()
  set(${out} "${times}" PARENT_SCOPE)
endfunction()

# The consumer project, generated for `generator` and configured with `options`, built,
# run, edited and built again (one of its tables embedded in a program). Each build runs in
# parallel, and each step runs once.
function(check_consumer generator)
  string(MAKE_C_IDENTIFIER "${generator}" tag)
  set(consumer_source ${WORK_DIR}/consumer-${tag})
  set(consumer_build ${WORK_DIR}/consumer-${tag}-build)
  file(COPY ${SOURCE_DIR}/tests/install/consumer/ DESTINATION ${consumer_source})
  run(${CMAKE_COMMAND} -S ${consumer_source} -B ${consumer_build} -G ${generator}
      -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
      -DCMAKE_BUILD_TYPE=Release ${ARGN})
  set(build ${CMAKE_COMMAND} --build ${consumer_build} --parallel 2)
  run(${build})
  expect_steps("${generator}, first build" "${last_output}"
               "greetings;greetings_embedded;greetings_utf8;greetings_wide")
  # CODE_PAGE 65001 reaches the tool: it does not warn that the UTF-8 file is read as GBK.
  if(last_messages MATCHES "valid UTF-8")
    message(FATAL_ERROR "the UTF-8 table was not read as UTF-8:\n${last_messages}")
  endif()
  run(${consumer_build}/consumer ${SOURCE_DIR}/examples/hello.bin)
  expect("consumer printed" "${last_output}" "OK\n")

  # The tables' headers give the IDs, THANKS the one the import chose; the wide text is
  # UTF-8, and so is the UTF-8 table's text, stored and commented in the header as UTF-8.
  run(${consumer_build}/greeter)
  expect("greeter printed" "${last_output}"
         "1001:Hello from the string table\n1002:Thank you\n7:你好，世界\n21:欢迎，朋友\n")
  run(${consumer_build}/tables)
  expect("tables printed" "${last_output}" "21:欢迎，朋友\n1002:Thank you\n5:(none)\n")
  file(READ ${consumer_build}/greetings_utf8/greetings_utf8.h utf8_header)
  if(NOT utf8_header MATCHES "IDT_WELCOME 21//欢迎，朋友")
    message(FATAL_ERROR "greetings_utf8.h lacks the UTF-8 text:\n${utf8_header}")
  endif()
  if(NOT EXISTS ${consumer_build}/greetings/greetings.bin OR
     NOT EXISTS ${consumer_build}/wide_strings/greetings_wide.h)
    message(FATAL_ERROR "the string tables are not where OUTPUT_DIR and the default put them")
  endif()
  run_embedded("1001:Hello from the string table\n")

  # A text saved unchanged (a second later, without SOURCE_DATE_EPOCH, so that a new import
  # would put a new time into the BIN) runs its steps once; they leave every file as it was,
  # so nothing is compiled or linked again, and the next build has nothing to do.
  build_times(before)
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
  file(READ ${consumer_source}/greetings.txt text)
  file(WRITE ${consumer_source}/greetings.txt "${text}")
  run(${build})
  expect_steps("${generator}, text saved unchanged" "${last_output}"
               "greetings;greetings_embedded")
  if(last_output MATCHES "Building|Linking")
    message(FATAL_ERROR "an unchanged table rebuilt its users:\n${last_output}")
  endif()
  build_times(after)
  expect("${generator}: the times after an unchanged save" "${after}" "${before}")
  run(${build})
  expect_steps("${generator}, the build after" "${last_output}" "")

  # A changed text file compiles again, once: HELLO gets a new text and the ID 999, which
  # leaves 1000 to 1002 free below FAREWELL, so THANKS takes 1000. The program that includes
  # the header and the embedded table are built again, once.
  string(REPLACE "Hello from the string table" "Hello again" text "${text}")
  string(REPLACE "RilStringID=1001" "RilStringID=999" text "${text}")
  file(WRITE ${consumer_source}/greetings.txt "${text}")
  run(${build})
  expect_steps("${generator}, changed text" "${last_output}" "greetings;greetings_embedded")
  string(REGEX MATCHALL "Building C object [^\n]*greeter\\.c\\.o" compiled "${last_output}")
  expect("${generator}: greeter.c compiled after the edit" "${compiled}"
         "Building C object CMakeFiles/greeter.dir/greeter.c.o")
  run(${consumer_build}/greeter)
  expect("after the edit greeter printed" "${last_output}"
         "999:Hello again\n1000:Thank you\n7:你好，世界\n21:欢迎，朋友\n")
  run_embedded("999:Hello again\n")
  run(${build})
  if(last_output MATCHES "Compiling string table|Building|Linking")
    message(FATAL_ERROR "the build after the edit did more:\n${last_output}")
  endif()
endfunction()

# Builds and runs the C consumer with the flags that pkg-config prints for the ril4410.pc
# found under `root`; its header and library must come from under `root`.
function(check_pkg_config root)
  find_program(PKG_CONFIG NAMES pkg-config pkgconf)
  if(NOT PKG_CONFIG)
    set(skipped ${skipped} "the pkg-config consumer (Debian: pkgconf)" PARENT_SCOPE)
    return()
  endif()
  file(GLOB_RECURSE pc_file ${root}/*/ril4410.pc)
  get_filename_component(pc_dir "${pc_file}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  set(ENV{PKG_CONFIG_LIBDIR} ${pc_dir})
  run(${PKG_CONFIG} --variable=includedir ril4410)
  string(STRIP "${last_output}" include_dir)
  file(REAL_PATH "${include_dir}" include_dir)
  file(REAL_PATH "${root}" real_root)
  if(NOT include_dir MATCHES "^${real_root}/" OR NOT EXISTS ${include_dir}/Ril4410.h)
    message(FATAL_ERROR "pkg-config's include folder '${include_dir}' is not under '${root}'")
  endif()
  run(${PKG_CONFIG} --variable=libdir ril4410)
  string(STRIP "${last_output}" lib_dir)
  run(${PKG_CONFIG} --cflags --libs ril4410)
  separate_arguments(flags UNIX_COMMAND "${last_output}")
  # Linked as the README shows, with the library's folder as run-time path.
  run(${C_COMPILER} ${SOURCE_DIR}/tests/install/consumer/main.c ${flags} -Wl,-rpath,${lib_dir}
      -o ${WORK_DIR}/c_consumer)
  run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${WORK_DIR}/c_consumer
      ${SOURCE_DIR}/examples/hello.bin)
  expect("the pkg-config consumer printed" "${last_output}" "OK\n")
  run(${PKG_CONFIG} --modversion ril4410)
  expect("pkg-config --modversion" "${last_output}" "${VERSION}\n")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(skipped "") # the checks this machine cannot run, "SKIPPED: ..." at the end
# A save without change must not put a new time into a BIN; the builds run their own jobs.
unset(ENV{SOURCE_DATE_EPOCH})
unset(ENV{MAKEFLAGS})
if(MODE STREQUAL "prefix")
  set(prefix ${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
  # Both generators: make and Ninja treat a step's outputs that keep their time differently.
  check_consumer(Ninja -DCMAKE_PREFIX_PATH=${prefix})
  find_program(MAKE_PROGRAM NAMES gmake make)
  if(MAKE_PROGRAM)
    check_consumer("Unix Makefiles" -DCMAKE_PREFIX_PATH=${prefix})
  else()
    list(APPEND skipped "the consumer under Unix Makefiles (Debian: make)")
  endif()
  check_pkg_config(${prefix})
elseif(MODE STREQUAL "subdirectory")
  check_consumer(${GENERATOR} -DRIL4410_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                 -DCMAKE_CXX_COMPILER_LAUNCHER=${CXX_LAUNCHER})
else()
  message(FATAL_ERROR "MODE must be prefix or subdirectory, not '${MODE}'")
endif()
if(skipped)
  # CTest then reports the test as skipped: what ran before has passed.
  list(JOIN skipped ", " skipped)
  message("SKIPPED: ${skipped}")
endif()
message(STATUS "Ril4410 works as the ${MODE} consumer uses it")
