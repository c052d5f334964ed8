# Checks that the shared library exports exactly the functions the public header declares.
# Usage: cmake -DLIBRARY=... -DHEADER=... -DNM=... -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the symbols of ${LIBRARY}")
endif()
string(REGEX MATCHALL "[0-9a-fA-F]+ [TtWiu] [A-Za-z_][A-Za-z0-9_@.]*" lines "${symbols}")
set(exported "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]+ [A-Za-z] " "" name "${line}")
  string(REGEX REPLACE "@.*$" "" name "${name}")
  list(APPEND exported ${name})
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/header_functions.cmake)
ril_declared_functions(${HEADER} declared)

list(REMOVE_DUPLICATES exported)
list(SORT exported)
list(LENGTH declared declared_count)
if(NOT exported STREQUAL declared)
  message(FATAL_ERROR "exported symbols differ from the header\n  exported: ${exported}\n  declared: ${declared}")
endif()
message(STATUS "the library exports exactly the ${declared_count} declared functions")
