#!/usr/bin/env bash
# Prints the project's code and test line counts and their ratio: non-blank lines of C, C++,
# CMake, shell and Python files. Code is src include cli cmake scripts bench fuzz; tests is tests.
# Usage: scripts/line-counts.sh [source root]
set -euo pipefail
cd "${1:-"$(dirname "$0")/.."}"

count() {
    local folders=()
    for folder in "$@"; do
        [[ -d $folder ]] && folders+=("$folder")
    done
    ((${#folders[@]})) || { echo 0; return; }
    find "${folders[@]}" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.cmake' \
        -o -name '*.sh' -o -name '*.py' -o -name CMakeLists.txt \) -print0 |
        xargs -0 cat | grep -c '[^[:space:]]' || true
}

code=$(count src include cli cmake scripts bench fuzz)
tests=$(count tests)
echo "code lines:  $code"
echo "test lines:  $tests"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests/code:  %.2f\n", c ? t / c : 0 }'
