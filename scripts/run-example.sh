#!/usr/bin/env bash
# The main job on the shipped examples: builds the ril4410 tool, compiles the example text
# resource file (GBK) into a BIN with an import log and prints every item of the BIN, then
# does the same for its UTF-8 copy (read as UTF-8 for its byte-order mark).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh build >&2
# The build stays quiet unless it fails; then its whole output is shown.
build_log=$(mktemp)
trap 'rm -f "$build_log"' EXIT
if ! { cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIL4410_BUILD_TESTS=OFF &&
    cmake --build build-release -j2 --target ril4410; } >"$build_log" 2>&1; then
    cat "$build_log" >&2
    echo "run-example.sh: the build failed" >&2
    exit 1
fi
tool=build-release/cli/ril4410
out=build-release/example
mkdir -p "$out"
"$tool" import --code-page 936 examples/notepad.txt "$out/notepad.bin" --log "$out/notepad.log"
echo "== $out/notepad.bin"
"$tool" dump --code-page 936 "$out/notepad.bin"
"$tool" import --verbose examples/notepad_utf8.txt "$out/notepad_utf8.bin" \
  --log "$out/notepad_utf8.log"
echo "== $out/notepad_utf8.bin"
"$tool" dump --utf8 "$out/notepad_utf8.bin"
