# Checks that the shared library (LIBRARY) exports exactly the functions the public header
# (HEADER) declares, under their plain names: the dynamic symbols as NM lists them, or the
# DLL's export table as OBJDUMP reads it; a DLL must need no DLL beyond Windows' own.
# Usage: cmake -DLIBRARY=... -DHEADER=... -DNM=...|-DOBJDUMP=... -P check_exports.cmake
if(OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump
    RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the symbols of ${LIBRARY}")
endif()
if(OBJDUMP)
  # The export directory names the module, then lists "[ordinal] name" up to a blank line.
  if(NOT dump MATCHES "\nName[ \t]+[0-9a-fA-F]+ Ril4410\\.dll\n")
    message(FATAL_ERROR "${LIBRARY} does not name itself Ril4410.dll in its export table")
  endif()
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table.*" table "${dump}")
  string(REGEX REPLACE "\n[ \t]*\n.*$" "" table "${table}")
  string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" exported "${table}")
  list(TRANSFORM exported REPLACE "^\\[ *[0-9]+\\] " "")
else()
  string(REGEX MATCHALL "[0-9a-fA-F]+ [TtWiu] [A-Za-z_][A-Za-z0-9_@.]*" exported "${dump}")
  list(TRANSFORM exported REPLACE "^[0-9a-fA-F]+ [A-Za-z] ([^@]*).*$" "\\1")
endif()
list(REMOVE_DUPLICATES exported)
list(SORT exported)

file(READ ${HEADER} header)
string(REGEX MATCHALL "RIL_API[^;(]*[ *]Ril_[A-Za-z0-9_]+\\(" declared "${header}")
list(TRANSFORM declared REPLACE "^.*(Ril_[A-Za-z0-9_]+)\\($" "\\1")
list(REMOVE_DUPLICATES declared)
list(SORT declared)
list(LENGTH declared declared_count)
if(declared_count EQUAL 0 OR NOT exported STREQUAL declared)
  message(FATAL_ERROR "the exports differ from the header\n  exported: ${exported}\n  declared: ${declared}")
endif()

# Only system DLLs: the GCC runtime, the C++ library and winpthread are linked in.
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
foreach(module IN LISTS imports)
  string(TOLOWER "${module}" module_lower)
  if(NOT module_lower MATCHES "^(kernel32|user32|advapi32|msvcrt|api-ms-win-[a-z0-9-]+)\\.dll$")
    message(FATAL_ERROR "${LIBRARY} needs ${module}, which Windows does not provide")
  endif()
endforeach()
message(STATUS "the library exports exactly the ${declared_count} declared functions")
