#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one for SECONDS seconds
# (default 60) on a scratch copy of its seed corpus. Exits non-zero when a target fails;
# crashing inputs are kept in build-fuzz/artifacts/<target>/ (or $RIL_FUZZ_ARTIFACTS/<target>/).
# Usage: fuzz/run.sh [SECONDS]
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
artifacts="${RIL_FUZZ_ARTIFACTS:-$build/artifacts}"

# Each target and the folder of its seed corpus under fuzz/corpus/.
targets=(
    "fuzz_load_bin load_bin"
    "fuzz_load_txt load_txt"
    "fuzz_import import"
    "fuzz_holder holder"
    "fuzz_bin_to_text bin_to_text"
    "fuzz_pe_reader pe_reader"
    "fuzz_po_reader po_reader"
    "fuzz_xliff_reader xliff_reader"
)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRIL_FUZZ=ON -DRIL4410_BUILD_TESTS=OFF -DRIL_BUILD_CLI=OFF
cmake --build "$build" -j2

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

status=0
for entry in "${targets[@]}"; do
    read -r target corpus <<<"$entry"
    # The committed corpus is only read: new inputs go to the scratch copy.
    mkdir -p "$scratch/$corpus" "$artifacts/$target"
    cp -R "$root/fuzz/corpus/$corpus/." "$scratch/$corpus/"
    echo "== $target: ${seconds}s"
    # What an input makes the library allocate is bounded by its size (a record cut short
    # by the end of a file gains at most 1 MiB of zeros), so any single allocation above
    # 128 MB, or a process above 2 GB, is a fault.
    if ! LSAN_OPTIONS="suppressions=$root/fuzz/lsan_suppressions.txt:print_suppressions=0" \
        "$build/fuzz/$target" "$scratch/$corpus" \
        -max_total_time="$seconds" -malloc_limit_mb=128 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/$target/" -print_final_stats=1; then
        echo "!! $target failed; crashing inputs are in $artifacts/$target/" >&2
        status=1
    fi
done
exit "$status"
