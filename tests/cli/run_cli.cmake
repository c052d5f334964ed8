# Runs the ril4410 tool once and compares its exit status, standard output and standard
# error with the expectations exactly. Called with -P and these variables:
#   TOOL           the tool's path
#   ARGS           its arguments, separated by '|'
#   EMULATOR       runs the tool when it was cross-compiled (optional, '|'-separated)
#   TEST_NAME      names the files that capture the output, in the working directory
#   EXPECT_EXIT    the expected exit status
#   EXPECT_STDOUT  expected standard output, with \t, \n and \\ standing for a tab, a line
#                  feed and a backslash (empty when not given)
#   EXPECT_STDERR  expected standard error, written the same way
#   STDOUT_FILE    a file whose bytes standard output must equal (instead of EXPECT_STDOUT)
#   ABSENT         a file the tool must not write (optional): removed before the run and
#                  checked for afterwards
cmake_minimum_required(VERSION 3.20)

function(decode_escapes text result)
  string(ASCII 1 placeholder)
  string(REPLACE "\\\\" "${placeholder}" text "${text}")
  string(REPLACE "\\t" "\t" text "${text}")
  string(REPLACE "\\n" "\n" text "${text}")
  string(REPLACE "${placeholder}" "\\" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" arguments "${ARGS}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
if(DEFINED ABSENT)
  file(REMOVE "${ABSENT}")
endif()
execute_process(
  COMMAND ${emulator} "${TOOL}" ${arguments}
  RESULT_VARIABLE exit_status
  OUTPUT_FILE "${TEST_NAME}.stdout"
  ERROR_FILE "${TEST_NAME}.stderr")

set(failures "")
if(NOT exit_status STREQUAL EXPECT_EXIT)
  string(APPEND failures "exit status: expected ${EXPECT_EXIT}, got ${exit_status}\n")
endif()

file(READ "${TEST_NAME}.stdout" actual_stdout_hex HEX)
if(DEFINED STDOUT_FILE)
  file(READ "${STDOUT_FILE}" expected_stdout_hex HEX)
else()
  decode_escapes("${EXPECT_STDOUT}" expected_stdout)
  file(WRITE "${TEST_NAME}.expected" "${expected_stdout}")
  file(READ "${TEST_NAME}.expected" expected_stdout_hex HEX)
endif()
if(NOT actual_stdout_hex STREQUAL expected_stdout_hex)
  file(READ "${TEST_NAME}.stdout" actual_stdout)
  string(APPEND failures "stdout: expected hex [${expected_stdout_hex}]\n"
         "        got hex      [${actual_stdout_hex}]\n        got text [${actual_stdout}]\n")
endif()

decode_escapes("${EXPECT_STDERR}" expected_stderr)
file(READ "${TEST_NAME}.stderr" actual_stderr)
if(NOT actual_stderr STREQUAL expected_stderr)
  string(APPEND failures "stderr: expected [${expected_stderr}]\n        got      [${actual_stderr}]\n")
endif()

if(DEFINED ABSENT AND EXISTS "${ABSENT}")
  string(APPEND failures "${ABSENT} was written\n")
endif()

if(failures)
  string(REPLACE ";" " " command_line "${arguments}")
  message(FATAL_ERROR "ril4410 ${command_line}\n${failures}")
endif()
