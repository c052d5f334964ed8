# Installs the build into a scratch prefix, then builds and runs a consumer project against
# it through find_package (its string tables compiled by ril4410_add_string_table(), and
# compiled again after a text changes, one of them embedded in the program), and checks the
# pkg-config file.
# Usage: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -P check_install.cmake
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGV}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
  set(last_messages "${out}${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
# The consumer is built from a copy, whose string table is then edited.
file(COPY ${SOURCE_DIR}/tests/install/consumer DESTINATION ${WORK_DIR})
set(consumer_source ${WORK_DIR}/consumer)
set(consumer_build ${WORK_DIR}/consumer-build)
run(${CMAKE_COMMAND} -S ${consumer_source} -B ${consumer_build}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${consumer_build})
# CODE_PAGE 65001 reaches the tool: it does not warn that the UTF-8 file is read as GBK.
if(last_messages MATCHES "valid UTF-8")
  message(FATAL_ERROR "the UTF-8 table was not read as UTF-8:\n${last_messages}")
endif()
run(${consumer_build}/consumer ${SOURCE_DIR}/examples/hello.bin)
if(NOT last_output STREQUAL "OK\n")
  message(FATAL_ERROR "consumer printed '${last_output}', expected 'OK'")
endif()

# The tables' headers give the IDs, THANKS the one the import chose; the wide text is UTF-8,
# and so is the UTF-8 table's text, stored and commented in the header as UTF-8.
set(greeting "1001:Hello from the string table\n1002:Thank you\n7:你好，世界\n21:欢迎，朋友\n")
run(${consumer_build}/greeter)
if(NOT last_output STREQUAL greeting)
  message(FATAL_ERROR "greeter printed '${last_output}', expected '${greeting}'")
endif()
file(READ ${consumer_build}/greetings_utf8/greetings_utf8.h utf8_header)
if(NOT utf8_header MATCHES "IDT_WELCOME 21//欢迎，朋友")
  message(FATAL_ERROR "greetings_utf8.h lacks the UTF-8 text:\n${utf8_header}")
endif()
if(NOT EXISTS ${consumer_build}/greetings/greetings.bin OR
   NOT EXISTS ${consumer_build}/wide_strings/greetings_wide.h)
  message(FATAL_ERROR "the string tables are not where OUTPUT_DIR and the default put them")
endif()

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
run_embedded("1001:Hello from the string table\n")

# A changed text file compiles again: HELLO gets a new text and the ID 999, which leaves
# 1000 to 1002 free below FAREWELL, so THANKS takes 1000.
file(READ ${consumer_source}/greetings.txt text)
string(REPLACE "Hello from the string table" "Hello again" text "${text}")
string(REPLACE "RilStringID=1001" "RilStringID=999" text "${text}")
file(WRITE ${consumer_source}/greetings.txt "${text}")
run(${CMAKE_COMMAND} --build ${consumer_build})
run(${consumer_build}/greeter)
set(greeting "999:Hello again\n1000:Thank you\n7:你好，世界\n21:欢迎，朋友\n")
if(NOT last_output STREQUAL greeting)
  message(FATAL_ERROR "after the edit greeter printed '${last_output}', expected '${greeting}'")
endif()
run_embedded("999:Hello again\n")

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  file(GLOB_RECURSE pc_files ${prefix}/*/ril4410.pc)
  get_filename_component(pc_dir "${pc_files}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  run(${PKG_CONFIG} --libs ril4410)
  if(NOT last_output MATCHES "-lRil4410")
    message(FATAL_ERROR "pkg-config gave '${last_output}'")
  endif()
endif()
message(STATUS "installed package works")
