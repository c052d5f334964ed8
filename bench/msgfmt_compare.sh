#!/usr/bin/env bash
# Times GNU msgfmt compiling the import corpus as a .po file against "ril4410 import" compiling
# the same 100,000 strings as an MBCS text resource file: median wall time of several runs,
# the two commands taking turns.
# Usage: bench/msgfmt_compare.sh [RUNS]   (default 5)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
runs="${1:-5}"

if ! command -v msgfmt >/dev/null; then
    echo "msgfmt not found: installing gettext" >&2
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y gettext
    else
        sudo apt-get install -y gettext
    fi
fi

# The same configuration as run.sh, so that the two scripts share one build tree.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIL_BUILD_BENCH=ON \
    -DRIL4410_BUILD_TESTS=OFF -DRIL_BUILD_CLI=ON >/dev/null
cmake --build "$build" -j2 --target ril4410_bench ril4410

cli="$build/cli/ril4410"
work="$(mktemp -d "${TMPDIR:-/tmp}/ril4410_msgfmt.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$build/bench/ril4410_bench" --generate "$work"
cd "$work"
echo "strings.txt: $(stat -c %s strings.txt) bytes; strings.po: $(stat -c %s strings.po) bytes"

msgfmt_cmd=(msgfmt -o out.mo strings.po)
import_cmd=("$cli" import strings.txt out.bin)

# One checked run of each; it also brings the files into the page cache. Without a log the
# import reports its gap count on standard error, which the timed runs discard.
"${msgfmt_cmd[@]}"
"${import_cmd[@]}" 2>/dev/null || {
    echo "ril4410 import failed:" >&2
    "${import_cmd[@]}"
    exit 1
}

# Milliseconds of wall time of one run of a command, its output dropped. Each run starts with
# nothing left to write back, so that no run waits for the disk writes of the one before
# (replacing a file whose pages are still being written waits for them).
time_ms() {
    local start end
    sync
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() {
    sort -n | awk '{ t[NR] = $1 } END { m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
                                       printf "%.1f", m / 1000 }'
}

# The two commands take turns, so that both meet the same machine.
msgfmt_times=()
import_times=()
for ((i = 0; i < runs; ++i)); do
    msgfmt_times+=("$(time_ms "${msgfmt_cmd[@]}")")
    import_times+=("$(time_ms "${import_cmd[@]}")")
done
msgfmt_ms=$(printf '%s\n' "${msgfmt_times[@]}" | median)
import_ms=$(printf '%s\n' "${import_times[@]}" | median)

awk -v m="$msgfmt_ms" -v i="$import_ms" -v n="$runs" 'BEGIN {
    printf "\nmsgfmt -o out.mo strings.po (median of %d): %.1f ms\n", n, m
    printf "ril4410 import strings.txt out.bin (median of %d): %.1f ms\n", n, i
    printf "msgfmt / import = %.2fx (target >= 10x)\n", m / i
}'
