# Installation: the header, the shared library, a CMake package (with the ril4410 tool and the
# string-table helper), a pkg-config file, the manual page, bash completion and the license.
include(CMakePackageConfigHelpers)

install(TARGETS Ril4410 EXPORT Ril4410Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/Ril4410.h ${PROJECT_SOURCE_DIR}/include/ril4410.hpp
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(RIL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Ril4410)
install(EXPORT Ril4410Targets NAMESPACE Ril4410:: DESTINATION ${RIL_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/Ril4410Config.cmake.in
  ${PROJECT_BINARY_DIR}/Ril4410Config.cmake INSTALL_DESTINATION ${RIL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Ril4410ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/Ril4410Config.cmake
  ${PROJECT_BINARY_DIR}/Ril4410ConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/Ril4410StringTable.cmake DESTINATION ${RIL_CMAKE_DIR})

# The pkg-config file finds the prefix from its own folder, so the installed tree can be moved
# (cmake --install --prefix, a package unpacked anywhere).
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(RIL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH ril_pc_up "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" ril_pc_up "${ril_pc_up}")
  set(RIL_PC_PREFIX "\${pcfiledir}/${ril_pc_up}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/ril4410.pc.in ${PROJECT_BINARY_DIR}/ril4410.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ril4410.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ril4410)
if(RIL_BUILD_CLI)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/ril4410.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/ril4410.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME ril4410)
endif()
