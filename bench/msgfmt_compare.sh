#!/usr/bin/env bash
# Times GNU msgfmt compiling the import corpus as a .po file against "ril4410 import --utf8"
# compiling the same 100,000 strings as a UTF-8 text resource file: median wall time of several
# runs, the two commands taking turns; then the import's resident memory and page faults
# (GNU time), and hyperfine's figures of both when hyperfine is installed.
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
cmake --build "$build" -j2 --target ril4410_bench ril4410 ril4410_import_once

cli="$build/cli/ril4410"
work="$(mktemp -d "${TMPDIR:-/tmp}/ril4410_msgfmt.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$build/bench/ril4410_bench" --generate "$work"
cd "$work"
text_bytes=$(stat -c %s strings_utf8.txt)
echo "strings_utf8.txt: $text_bytes bytes; strings.po: $(stat -c %s strings.po) bytes"

msgfmt_cmd=(msgfmt -o out.mo strings.po)
import_cmd=("$cli" import --utf8 strings_utf8.txt out.bin)
library_cmd=("$build/bench/ril4410_import_once" 65001 strings_utf8.txt out.bin)

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
library_times=()
for ((i = 0; i < runs; ++i)); do
    msgfmt_times+=("$(time_ms "${msgfmt_cmd[@]}")")
    import_times+=("$(time_ms "${import_cmd[@]}")")
    library_times+=("$(time_ms "${library_cmd[@]}")")
done
msgfmt_ms=$(printf '%s\n' "${msgfmt_times[@]}" | median)
import_ms=$(printf '%s\n' "${import_times[@]}" | median)
library_ms=$(printf '%s\n' "${library_times[@]}" | median)

awk -v m="$msgfmt_ms" -v i="$import_ms" -v l="$library_ms" -v n="$runs" 'BEGIN {
    printf "\nmsgfmt -o out.mo strings.po (median of %d): %.1f ms\n", n, m
    printf "ril4410 import --utf8 strings_utf8.txt out.bin (median of %d): %.1f ms\n", n, i
    printf "msgfmt / import = %.2fx (target >= 10x)\n", m / i
    printf "the library alone (ril4410_import_once, median of %d): %.1f ms, msgfmt / it = %.2fx\n",
        n, l, m / l
}'

if [ -x /usr/bin/time ]; then
    for which in import library; do
        if [ "$which" = import ]; then cmd=("${import_cmd[@]}"); else cmd=("${library_cmd[@]}"); fi
        /usr/bin/time -f '%M %R' -o time.txt "${cmd[@]}" 2>/dev/null
        read -r resident faults <time.txt
        awk -v w="$which" -v r="$resident" -v f="$faults" -v t="$text_bytes" 'BEGIN {
            printf "%s: %d KiB resident at most (%.2fx the text file; target <= 3x), %d page faults\n",
                w, r, r * 1024 / t, f
        }'
    done
fi
if command -v hyperfine >/dev/null; then
    hyperfine -N -w 2 -r "$runs" "${msgfmt_cmd[*]}" "${import_cmd[*]}" "${library_cmd[*]}"
fi
