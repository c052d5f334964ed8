# Runs the ril4410 tool (TOOL, under EMULATOR if given) once with ARGS ('|'-separated) and
# compares its exit status (EXPECT_EXIT, default 0), standard output (EXPECT_STDOUT or the
# file STDOUT_FILE) and standard error (EXPECT_STDERR or STDERR_FILE) exactly; \t, \n and \\
# stand for a tab, a line feed and a backslash. ABSENT names a file the run must not write;
# COPY ("SOURCE|TARGET") a file copied first. LC_ALL, LC_CTYPE, LC_MESSAGES and LANG are unset unless
# ENV ('|'-separated NAME=VALUE) sets them; under an emulator (Wine, whose locale the tool
# would see) --lang en is given instead. Outputs are kept in TEST_NAME.stdout and .stderr.
# NEEDS names a test module without which the run prints "SKIPPED: ..." and stops.
cmake_minimum_required(VERSION 3.20)
if(NEEDS AND NOT EXISTS "${NEEDS}")
  message("SKIPPED: no test module ${NEEDS} (MinGW-w64 builds it: scripts/deps.sh windows)")
  return()
endif()

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
if(ABSENT)
  file(REMOVE "${ABSENT}")
endif()
if(COPY)
  string(REPLACE "|" ";" COPY "${COPY}")
  file(COPY_FILE ${COPY})
endif()
if(NOT EXPECT_EXIT)
  set(EXPECT_EXIT 0)
endif()
foreach(variable LC_ALL LC_CTYPE LC_MESSAGES LANG)
  unset(ENV{${variable}})
endforeach()
if(ENV)
  string(REPLACE "|" ";" settings "${ENV}")
  foreach(setting IN LISTS settings)
    string(REGEX MATCH "^([^=]*)=(.*)$" _ "${setting}")
    set(ENV{${CMAKE_MATCH_1}} "${CMAKE_MATCH_2}")
  endforeach()
elseif(emulator)
  list(PREPEND arguments --lang en)
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
if(NOT STDOUT_FILE)
  decode_escapes("${EXPECT_STDOUT}" expected_stdout)
  set(STDOUT_FILE "${TEST_NAME}.expected")
  file(WRITE "${STDOUT_FILE}" "${expected_stdout}")
endif()
file(READ "${STDOUT_FILE}" expected_stdout_hex HEX)
if(NOT actual_stdout_hex STREQUAL expected_stdout_hex)
  file(READ "${TEST_NAME}.stdout" actual_stdout)
  string(APPEND failures "stdout: expected hex [${expected_stdout_hex}]\n"
         "        got hex      [${actual_stdout_hex}]\n        got text [${actual_stdout}]\n")
endif()

if(STDERR_FILE)
  file(READ "${STDERR_FILE}" expected_stderr)
else()
  decode_escapes("${EXPECT_STDERR}" expected_stderr)
endif()
file(READ "${TEST_NAME}.stderr" actual_stderr)
if(NOT actual_stderr STREQUAL expected_stderr)
  string(APPEND failures "stderr: expected [${expected_stderr}]\n        got      [${actual_stderr}]\n")
endif()
if(ABSENT AND EXISTS "${ABSENT}")
  string(APPEND failures "${ABSENT} was written\n")
endif()
if(failures)
  string(REPLACE ";" " " command_line "${arguments}")
  message(FATAL_ERROR "ril4410 ${command_line}\n${failures}")
endif()
