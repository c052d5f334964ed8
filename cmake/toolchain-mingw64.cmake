# CMake toolchain for cross-building Ril4410.dll and its tests for 64-bit Windows with
# MinGW-w64 (Debian: g++-mingw-w64-x86-64) on Linux; the tests run under Wine (wine64).
#
#   cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RIL_MINGW_TRIPLET x86_64-w64-mingw32)

# The "posix" thread model gives the full C++ thread library (std::thread, std::mutex);
# the "win32" variant of GCC 12 lacks it. Fall back to the default driver names otherwise.
find_program(CMAKE_C_COMPILER NAMES ${RIL_MINGW_TRIPLET}-gcc-posix ${RIL_MINGW_TRIPLET}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${RIL_MINGW_TRIPLET}-g++-posix ${RIL_MINGW_TRIPLET}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${RIL_MINGW_TRIPLET}-windres)
find_program(CMAKE_AR NAMES ${RIL_MINGW_TRIPLET}-ar)
find_program(CMAKE_RANLIB NAMES ${RIL_MINGW_TRIPLET}-ranlib)
find_program(CMAKE_OBJDUMP NAMES ${RIL_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${RIL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime, the C++ library and winpthread are linked in statically, so the DLL and
# the programs need nothing beyond the system's own DLLs (on Windows and under Wine).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs (add_test, gtest_discover_tests) run through Wine: a private prefix in the
# build folder, no debug output, and the Chinese (PRC) locale, so that the ANSI code page is
# 936 as on the Windows systems the library's GBK texts are made for. Wine takes the code
# page from LC_ALL; its Linux side also needs that locale to store non-ASCII file names, so
# tests/CMakeLists.txt compiles it into RIL_WINE_LOCALE_DIR (LOCPATH) when configuring.
find_program(RIL_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(RIL_WINE64 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(RIL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  set(RIL_WINE_LOCALE_DIR "${CMAKE_BINARY_DIR}/wine-locale")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      /usr/bin/env WINEPREFIX=${RIL_WINEPREFIX} WINEDEBUG=-all LOCPATH=${RIL_WINE_LOCALE_DIR}
      LC_ALL=zh_CN.UTF-8 ${RIL_WINE64})
endif()
