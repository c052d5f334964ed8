#!/usr/bin/env bash
# Builds the library, the tool and the tests from scratch in build/ and runs every test.
# As root it first installs what the tests need (scripts/deps.sh test). As another user it
# needs only CMake, Ninja and g++: it builds and runs every test the machine allows, then
# says in one block what it skipped and which scripts/deps.sh purpose brings it. The exit
# status is that of the build, then of the tests that ran (skipped tests do not fail it).
# Usage: scripts/run-tests.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -eq 0 ]]; then
    scripts/deps.sh test
else
    scripts/deps.sh build
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j2
status=0
ctest --test-dir build --output-on-failure -j2 | tee build/ctest.log || status=${PIPESTATUS[0]}

# What could not run here, found as the build and the tests look for it.
skipped=()
skip() { skipped+=("  $1: needs $2 (scripts/deps.sh $3)"); }
[[ -x build/tests/ril4410_tests ]] ||
    skip "the GoogleTest programs (unit, PE and run-time editing tests)" libgtest-dev test
modules=$(cat build/tests/pe_fixtures/toolchains.txt 2>/dev/null || true)
[[ $modules == *64* ]] ||
    skip "the 64-bit PE test modules and the tests and tool runs over them" \
        g++-mingw-w64-x86-64 windows
[[ $modules == *32* ]] ||
    skip "the 32-bit PE test modules" "gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686" windows
[[ -x /usr/lib/wine/wine64 ]] || command -v wine64 >/dev/null ||
    skip "the check of updated modules with Wine's loader (pe_interop_wine)" wine64 windows
command -v pkg-config >/dev/null ||
    skip "the pkg-config consumer checks (install_consumer_*)" pkgconf test
command -v make >/dev/null ||
    skip "the consumer build under Unix Makefiles (install_consumer_prefix)" make test
not_run=$(sed -n '/^The following tests did not run:/,/^$/s/^[[:space:]]*[0-9]* - //p' \
    build/ctest.log | sed 's/ (Skipped)$//')
if ((${#skipped[@]} > 0)) || [[ -n $not_run ]]; then
    echo
    echo "== Skipped on this machine (as root, scripts/deps.sh PURPOSE installs what is named)"
    for line in "${skipped[@]}"; do echo "$line"; done
    if [[ -n $not_run ]]; then
        echo "  tests that did not run ($(wc -l <<<"$not_run")):"
        paste -s -d, <<<"$not_run" | sed 's/,/, /g' | fold -s -w 88 | sed 's/^/    /'
    fi
fi
exit "$status"
