# Packages made by cpack from the installed files: a Debian package and a .tar.gz (a .zip for
# Windows), named after the project version (ril4410_<version>_<arch>.deb,
# ril4410-<version>-<system>.tar.gz).
set(CPACK_PACKAGE_NAME ril4410)
set(CPACK_PACKAGE_VENDOR "the Ril4410 developers")
set(CPACK_PACKAGE_CONTACT "the Ril4410 developers <ril4410@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "String-resource library: numbered string tables compiled to BIN files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
if(WIN32)
  set(CPACK_GENERATOR ZIP) # the DLL, its import library, the header and the tool
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_FILE_NAME ril4410-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/ril4410")
# The library and the tool link only the C and C++ runtimes: dpkg-shlibdeps (Debian:
# dpkg-dev, which also needs `file`) states the versions; without it, the names alone.
find_program(RIL_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(RIL_FILE_PROGRAM file)
if(RIL_DPKG_SHLIBDEPS AND RIL_FILE_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
endif()

include(CPack)
