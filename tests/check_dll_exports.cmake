# Checks Ril4410.dll: its export table holds exactly the functions the public header
# declares, under their plain names, and it needs no DLL beyond the system's own.
# Usage: cmake -DDLL=... -DHEADER=... -DOBJDUMP=... -P check_dll_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the headers of ${DLL}")
endif()

# The export directory names the module, then lists "[ordinal] name" lines.
if(NOT dump MATCHES "\nName[ \t]+[0-9a-fA-F]+ Ril4410\\.dll\n")
  message(FATAL_ERROR "${DLL} does not name itself Ril4410.dll in its export table")
endif()
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" table_start)
if(table_start EQUAL -1)
  message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${table_start} -1 table)
string(REGEX REPLACE "\n[ \t]*\n.*$" "" table "${table}") # the table ends at a blank line
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" lines "${table}")
set(exported "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND exported "${name}")
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/header_functions.cmake)
ril_declared_functions(${HEADER} declared)
list(SORT exported)
list(LENGTH declared declared_count)
if(NOT exported STREQUAL declared)
  message(FATAL_ERROR
    "the DLL's exports differ from the header\n  exported: ${exported}\n  declared: ${declared}")
endif()

# Only system DLLs: the GCC runtime, the C++ library and winpthread are linked in.
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" module "${import}")
  string(TOLOWER "${module}" module_lower)
  if(NOT module_lower MATCHES "^(kernel32|user32|advapi32|msvcrt|api-ms-win-[a-z0-9-]+)\\.dll$")
    message(FATAL_ERROR "${DLL} needs ${module}, which Windows does not provide")
  endif()
endforeach()
message(STATUS "the DLL exports exactly the ${declared_count} declared functions")
