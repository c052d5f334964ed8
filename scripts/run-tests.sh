#!/usr/bin/env bash
# Builds the library, the tool and the tests from scratch in build/ and runs every test.
# Usage: scripts/run-tests.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
