# Tests of the PE resource layer and of run-time editing: test modules built with MinGW-w64
# when the tests run (a CTest fixture), unit tests over them and over hand-made files, and
# an interoperability check of updated modules with Wine's loader.
set(RIL_PE_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/pe_fixtures)
set(pe_fixture_source ${CMAKE_CURRENT_SOURCE_DIR}/pe/fixtures)
add_test(NAME pe_fixtures COMMAND ${CMAKE_COMMAND} -DSOURCE=${pe_fixture_source}
  -DOUT=${RIL_PE_FIXTURES} -P ${pe_fixture_source}/build_fixtures.cmake)
set_tests_properties(pe_fixtures PROPERTIES FIXTURES_SETUP pe_fixtures)

# The GoogleTest program over the modules (with GoogleTest only).
if(TARGET GTest::gtest)
  add_executable(ril4410_pe_tests support/test_support.cpp pe/pe_test_support.cpp
    pe/pe_image_test.cpp pe/pe_resources_test.cpp pe/pe_writer_test.cpp rtedit/session_test.cpp)
  if(NOT WIN32) # the module service over the PE layer exists only outside Windows
    target_sources(ril4410_pe_tests PRIVATE pe/pe_module_test.cpp)
  endif()
  target_include_directories(ril4410_pe_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(ril4410_pe_tests PRIVATE RIL_PE_FIXTURES_DIR="${RIL_PE_FIXTURES}")
  target_link_libraries(ril4410_pe_tests PRIVATE ril4410_static GTest::gtest GTest::gtest_main)
  ril_discover_tests(ril4410_pe_tests PROPERTIES FIXTURES_REQUIRED pe_fixtures)

  # The PE writer reads no uninitialised memory (valgrind; the sanitizer builds cannot run it).
  find_program(RIL_VALGRIND valgrind)
  if(RIL_VALGRIND AND NOT RIL_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME pe_writer_valgrind COMMAND ${RIL_VALGRIND} -q --error-exitcode=9
      $<TARGET_FILE:ril4410_pe_tests> --gtest_filter=PeWriter.*)
    set_tests_properties(pe_writer_valgrind PROPERTIES FIXTURES_REQUIRED pe_fixtures TIMEOUT 300)
  endif()
endif()

if(NOT WIN32)
  # Modules updated by the library, read by an independent reader: Wine's loader
  # (FindResourceA must find the bytes the library finds). "SKIPPED:" when it is absent.
  add_executable(ril4410_pe_module_tool pe/pe_module_tool.cpp)
  target_link_libraries(ril4410_pe_module_tool PRIVATE ril4410_static)
  find_program(RIL_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine)
  add_test(NAME pe_interop_wine COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:ril4410_pe_module_tool>
    -DFIXTURES=${RIL_PE_FIXTURES} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/pe_interop_wine
    -DWINE=${RIL_WINE64} -P ${pe_fixture_source}/run_interop.cmake)
  set_tests_properties(pe_interop_wine PROPERTIES FIXTURES_REQUIRED pe_fixtures
    SKIP_REGULAR_EXPRESSION "SKIPPED: " TIMEOUT 300)
endif()
