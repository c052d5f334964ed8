#!/usr/bin/env bash
# Cross-builds Ril4410.dll and the test suite for 64-bit Windows with MinGW-w64 in
# build-mingw/, checks the DLL's exports and runs every test under Wine, headless.
# Usage: scripts/windows-tests.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-mingw
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# The cross compiler, Wine, the GoogleTest sources and the locale sources (for the locale
# Wine runs in), installed with apt when missing.
scripts/deps.sh windows

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
    -DRIL_BUILD_CLI=ON -DRIL_BUILD_BENCH=OFF "$@"
cmake --build "$build" -j2

# Wine as the tests run it (the emulator that cmake/toolchain-mingw64.cmake sets): a private
# prefix in the build folder, no debug output, the Chinese (PRC) system locale. No X display
# is needed: the tests route every notice to a handler, so no message box opens.
wine_env=(env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all
          LOCPATH="$PWD/$build/wine-locale" LC_ALL=zh_CN.UTF-8)

# One persistent server with Wine's own background processes started up front, their
# output detached: each test program then starts in a fraction of a second, and nothing
# lingers on the pipes that ctest reads. The server and its processes stop on exit.
stop_wine() { "${wine_env[@]}" "$wineserver" -k >/dev/null 2>&1 || true; }
stop_wine # a server left over from an earlier run of this build's prefix
trap stop_wine EXIT
mkdir -p "$build/wineprefix"
"${wine_env[@]}" "$wineserver" -p </dev/null >/dev/null
"${wine_env[@]}" "$wine" wineboot --init </dev/null >"$build/wineboot.log" 2>&1 ||
    { cat "$build/wineboot.log" >&2; exit 1; }

# A Wine process now and then fails to start and exits at once without a word (seen as a
# test failing in a hundredth of a second with no output). Failures get one more run, on
# their own; a test that fails again fails the suite.
ctest --test-dir "$build" --output-on-failure -j2 --timeout 120 ||
    { echo "Running the failed tests once more:"; ctest --test-dir "$build" --rerun-failed --output-on-failure --timeout 120; }
