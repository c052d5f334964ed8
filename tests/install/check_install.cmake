# Uses Ril4410 as a consumer would, in one of three ways (MODE):
#   prefix        installed with --prefix: the consumer project through find_package, and a
#                 C program built with the flags that the relocated pkg-config file prints
#   subdirectory  the consumer project with Ril4410 built in its tree (add_subdirectory)
#   deb           the .deb and .tar.gz that cpack makes: the .deb unpacked into a scratch
#                 root (dpkg -x), the C program built against it through pkg-config, and the
#                 version that the tool, the CMake package, the .pc file and the package state
# The consumer project compiles its string tables with ril4410_add_string_table(), again
# after a text changes, and leaves the headers alone when a text is saved unchanged.
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

# The consumer project, configured with `options`, built, run, edited and built again (one
# of its tables embedded in a program).
function(check_consumer)
  file(COPY ${SOURCE_DIR}/tests/install/consumer DESTINATION ${WORK_DIR})
  set(consumer_source ${WORK_DIR}/consumer)
  set(consumer_build ${WORK_DIR}/consumer-build)
  run(${CMAKE_COMMAND} -S ${consumer_source} -B ${consumer_build} -G ${GENERATOR}
      -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
      -DCMAKE_BUILD_TYPE=Release ${ARGV})
  run(${CMAKE_COMMAND} --build ${consumer_build})
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

  # A text saved unchanged runs the step again, but its header stays as it was, so the
  # program that includes it is not compiled again.
  file(READ ${consumer_source}/greetings.txt text)
  file(WRITE ${consumer_source}/greetings.txt "${text}")
  run(${CMAKE_COMMAND} --build ${consumer_build})
  if(last_output MATCHES "greeter\\.c")
    message(FATAL_ERROR "an unchanged table rebuilt its users:\n${last_output}")
  endif()

  # A changed text file compiles again: HELLO gets a new text and the ID 999, which leaves
  # 1000 to 1002 free below FAREWELL, so THANKS takes 1000.
  string(REPLACE "Hello from the string table" "Hello again" text "${text}")
  string(REPLACE "RilStringID=1001" "RilStringID=999" text "${text}")
  file(WRITE ${consumer_source}/greetings.txt "${text}")
  run(${CMAKE_COMMAND} --build ${consumer_build})
  run(${consumer_build}/greeter)
  expect("after the edit greeter printed" "${last_output}"
         "999:Hello again\n1000:Thank you\n7:你好，世界\n21:欢迎，朋友\n")
  run_embedded("999:Hello again\n")
endfunction()

# Builds and runs the C consumer with the flags that pkg-config prints for the ril4410.pc
# found under `root`; its header and library must come from under `root`.
function(check_pkg_config root)
  find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
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
  run(${C_COMPILER} ${SOURCE_DIR}/tests/install/consumer/main.c ${flags} -o ${WORK_DIR}/c_consumer)
  run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${lib_dir} ${WORK_DIR}/c_consumer
      ${SOURCE_DIR}/examples/hello.bin)
  expect("the pkg-config consumer printed" "${last_output}" "OK\n")
  run(${PKG_CONFIG} --modversion ril4410)
  expect("pkg-config --modversion" "${last_output}" "${VERSION}\n")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
if(MODE STREQUAL "prefix")
  set(prefix ${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
  check_consumer(-DCMAKE_PREFIX_PATH=${prefix})
  check_pkg_config(${prefix})
elseif(MODE STREQUAL "subdirectory")
  check_consumer(-DRIL4410_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                 -DCMAKE_CXX_COMPILER_LAUNCHER=${CXX_LAUNCHER})
elseif(MODE STREQUAL "deb")
  run(cpack --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/packages)
  file(GLOB deb ${WORK_DIR}/packages/ril4410_${VERSION}_*.deb)
  file(GLOB tarball ${WORK_DIR}/packages/ril4410-${VERSION}-*.tar.gz)
  if(NOT deb OR NOT tarball)
    file(GLOB made ${WORK_DIR}/packages/*.*)
    message(FATAL_ERROR "no ril4410_${VERSION} .deb and .tar.gz among: ${made}")
  endif()
  run(dpkg-deb --field ${deb} Version Depends)
  if(NOT last_output MATCHES "^Version: ${VERSION}\nDepends: [^\n]*libc6[^\n]*libstdc\\+\\+6")
    message(FATAL_ERROR "the package states:\n${last_output}")
  endif()
  set(root ${WORK_DIR}/root)
  run(dpkg -x ${deb} ${root})
  foreach(file usr/bin/ril4410 usr/include/Ril4410.h usr/share/man/man1/ril4410.1
      usr/share/bash-completion/completions/ril4410 usr/share/doc/ril4410/LICENSE)
    if(NOT EXISTS ${root}/${file})
      message(FATAL_ERROR "the package lacks /${file}")
    endif()
  endforeach()
  check_pkg_config(${root})
  run(${root}/usr/bin/ril4410 --version)
  expect("the packaged tool's version" "${last_output}" "ril4410 ${VERSION}\n")
  file(GLOB_RECURSE version_file ${root}/*/Ril4410ConfigVersion.cmake)
  file(STRINGS "${version_file}" version_line REGEX "^set\\(PACKAGE_VERSION ")
  expect("the CMake package version" "${version_line}" "set(PACKAGE_VERSION \"${VERSION}\")")
else()
  message(FATAL_ERROR "MODE must be prefix, subdirectory or deb, not '${MODE}'")
endif()
message(STATUS "Ril4410 works as the ${MODE} consumer uses it")
