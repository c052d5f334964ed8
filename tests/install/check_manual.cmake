# Checks that the manual page (MANUAL) names every command and option that `TOOL --help`
# prints, and that the bash completion (COMPLETION) offers every command and long option.
# Usage: cmake -DTOOL=... -DMANUAL=... -DCOMPLETION=... -P check_manual.cmake
execute_process(COMMAND ${TOOL} --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ril4410 --help failed (${status})")
endif()
file(READ ${MANUAL} manual)
string(REPLACE "\\-" "-" manual "${manual}") # roff writes a hyphen-minus as \-
file(READ ${COMPLETION} completion)

# Options: a dash and a letter after a blank, a bracket, a parenthesis or a bar (brackets
# become blanks first: an unbalanced one would join the list's elements).
string(REGEX REPLACE "[][]" " " words "${help}")
string(REGEX MATCHALL "[ (|]--?[a-z][a-z0-9-]*" options "${words}")
list(TRANSFORM options REPLACE "^[^-]" "")
# Commands: the usage entries, indented by two blanks ("import", "module list", ...).
string(REGEX MATCHALL "\n  [a-z]+( [a-z]+)?" commands "${help}")
list(TRANSFORM commands STRIP)
list(REMOVE_DUPLICATES options)
list(REMOVE_DUPLICATES commands)
list(LENGTH options option_count)
list(LENGTH commands command_count)
if(option_count LESS 10 OR command_count LESS 8)
  message(FATAL_ERROR "found only ${option_count} options and ${command_count} commands in:\n${help}")
endif()

set(missing "")
foreach(word IN LISTS options commands)
  string(FIND "${manual}" "${word}" at)
  if(at LESS 0)
    string(APPEND missing "the manual page lacks '${word}'\n")
  endif()
  string(REPLACE " " ";" parts "${word}")
  foreach(part IN LISTS parts)
    string(FIND "${completion}" "${part}" at)
    if(at LESS 0 AND NOT part STREQUAL "-h")
      string(APPEND missing "the bash completion lacks '${part}'\n")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "${missing}")
endif()
