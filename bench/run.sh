#!/usr/bin/env bash
# Builds the benchmarks in Release into build-bench/ and runs them: five repetitions, aggregates
# only, then the median LoadRes time against the plain whole-file reads, the median import
# times against plain copies of the same text files, and the median export and header times
# against one fwrite of their output's bytes; then the lookups through the shared library
# against a plain array of text pointers, in one run, with their ratios for independent lookups
# and for dependent chains.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"

# The CLI is configured too, as msgfmt_compare.sh builds it in the same tree; only the
# benchmark executable is built here.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIL_BUILD_BENCH=ON \
    -DRIL4410_BUILD_TESTS=OFF -DRIL_BUILD_CLI=ON
cmake --build "$build" -j2 --target ril4410_bench ril4410_lookup_bench

results="$build/bench-results.txt"
"$build/bench/ril4410_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    "$@" | tee "$results"

# The load and import benchmarks report milliseconds of real time.
awk '
    $1 == "BM_PlainRead/real_time_median" { plain = $2 }
    $1 == "BM_PlainReadFreshPages/real_time_median" { fresh = $2 }
    $1 == "BM_LoadRes/real_time_median" { load = $2 }
    $1 == "BM_PlainCopyMbcs/real_time_median" { copyMbcs = $2 }
    $1 == "BM_ImportMbcs/real_time_median" { importMbcs = $2 }
    $1 == "BM_PlainCopyWcs/real_time_median" { copyWcs = $2 }
    $1 == "BM_ImportWcs/real_time_median" { importWcs = $2 }
    $1 == "BM_LintMbcs/real_time_median" { lintMbcs = $2 }
    $1 == "BM_PrecheckMbcs/real_time_median" { precheckMbcs = $2 }
    $1 == "BM_LintWcs/real_time_median" { lintWcs = $2 }
    $1 == "BM_WriteOutputBytes/export/real_time_median" { writeExport = $2 }
    $1 == "BM_ExportMbcs/real_time_median" { exportMbcs = $2 }
    $1 == "BM_WriteOutputBytes/header/real_time_median" { writeHeader = $2 }
    $1 == "BM_ReplaceOutputBytes/export/real_time_median" { replaceExport = $2 }
    $1 == "BM_ReplaceOutputBytes/header/real_time_median" { replaceHeader = $2 }
    $1 == "BM_HeaderMbcs/real_time_median" { headerMbcs = $2 }
    END {
        printf "\n"
        if (plain > 0 && load > 0)
            printf "LoadRes / plain read (medians): %.3f ms / %.3f ms = %.2fx (target <= 2x)\n",
                load, plain, load / plain
        if (fresh > 0 && load > 0)
            printf "LoadRes / plain read into fresh pages (medians): %.3f ms / %.3f ms = %.2fx\n",
                load, fresh, load / fresh
        if (copyMbcs > 0 && importMbcs > 0)
            printf "Import MBCS / plain copy (medians): %.3f ms / %.3f ms = %.2fx (target <= 3x)\n",
                importMbcs, copyMbcs, importMbcs / copyMbcs
        if (copyWcs > 0 && importWcs > 0)
            printf "Import WCS / plain copy (medians): %.3f ms / %.3f ms = %.2fx (target <= 3x)\n",
                importWcs, copyWcs, importWcs / copyWcs
        if (lintMbcs > 0 && importMbcs > 0)
            printf "Lint MBCS (check) / import MBCS (medians): %.3f ms / %.3f ms = %.2fx (target <= 1.5x)\n",
                lintMbcs, importMbcs, lintMbcs / importMbcs
        if (precheckMbcs > 0 && importMbcs > 0)
            printf "Lint MBCS, findings only (import pre-check) / import MBCS (medians): %.3f ms / %.3f ms = %.2fx\n",
                precheckMbcs, importMbcs, precheckMbcs / importMbcs
        if (lintWcs > 0 && importWcs > 0)
            printf "Lint WCS (check) / import WCS (medians): %.3f ms / %.3f ms = %.2fx (target <= 1.5x)\n",
                lintWcs, importWcs, lintWcs / importWcs
        if (writeExport > 0 && exportMbcs > 0)
            printf "Export MBCS / write of its bytes (medians): %.3f ms / %.3f ms = %.2fx (target <= 3x)\n",
                exportMbcs, writeExport, exportMbcs / writeExport
        if (writeHeader > 0 && headerMbcs > 0)
            printf "Header MBCS / write of its bytes (medians): %.3f ms / %.3f ms = %.2fx (target <= 3x)\n",
                headerMbcs, writeHeader, headerMbcs / writeHeader
        if (replaceExport > 0 && exportMbcs > 0)
            printf "Export MBCS / its bytes written to a temporary file and renamed over the last (medians): %.3f ms / %.3f ms = %.2fx\n",
                exportMbcs, replaceExport, exportMbcs / replaceExport
        if (replaceHeader > 0 && headerMbcs > 0)
            printf "Header MBCS / its bytes written to a temporary file and renamed over the last (medians): %.3f ms / %.3f ms = %.2fx\n",
                headerMbcs, replaceHeader, headerMbcs / replaceHeader
    }' "$results"

lookups="$build/lookup-results.txt"
"$build/bench/ril4410_lookup_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true | tee "$lookups"
# Nanoseconds per lookup (CPU time), medians: each getter against the array of its flavour over
# the same texts (the getters' own bytes) and over compact copies of them, first as independent
# lookups, then as dependent chains.
awk '
    $1 ~ /_median$/ { split($1, name, "/"); time[name[1] "/" name[2]] = $4 }
    function row(prefix, getter, flavour, n,    g, t, c) {
        g = time["BM_" prefix getter "/" n "_median"]
        t = time["BM_" prefix "TableArray" flavour "/" n "_median"]
        c = time["BM_" prefix (prefix == "" ? "Pointer" : "") "Array" flavour "/" n "_median"]
        if (g > 0 && t > 0 && c > 0)
            printf "%6d items: Ril_%s %.2f ns; array over the same texts %.2f ns: %.2fx (target <= 1.5x); over compact copies %.2f ns: %.2fx\n",
                n, getter, g, t, g / t, c, g / c
    }
    END {
        split("10000 100000", sizes, " ")
        title[""] = "Independent lookups:"; title["Chain"] = "Dependent chains (the next ID depends on the character read):"
        for (p = 0; p <= 1; ++p) {
            prefix = p ? "Chain" : ""
            printf "\n%s\n", title[prefix]
            for (i = 1; i <= 2; ++i) {
                n = sizes[i]
                if (!p && time["BM_CalledArrayA/" n "_median"] > 0)
                    printf "%6d items: the array behind a function call %.2f ns, array %.2f ns: %.2fx\n",
                        n, time["BM_CalledArrayA/" n "_median"], time["BM_PointerArrayA/" n "_median"],
                        time["BM_CalledArrayA/" n "_median"] / time["BM_PointerArrayA/" n "_median"]
                row(prefix, "GetStringA", "A", n)
                row(prefix, "GetData", "A", n)
                row(prefix, "GetStringW", "W", n)
            }
        }
        printf "\nTable handles against array[id] exported by another shared library (same texts):\n"
        for (i = 1; i <= 2; ++i) {
            n = sizes[i]
            for (f = 0; f <= 1; ++f) {
                w = f ? "W" : "A"
                e = time["BM_ExportedArray" w "/" n "_median"]
                h = time["BM_TableGetString" w "/" n "_median"]
                t = time["BM_FallThroughGetString" w "/" n "_median"]
                if (e > 0 && h > 0 && t > 0)
                    printf "%6d items: Ril_TableGetString%s %.2f ns, exported array %.2f ns: %.2fx (target <= 1.3x); one level of fall-through %.2f ns: %.2fx a direct hit (target <= 2x)\n",
                        n, w, h, e, h / e, t, t / h
            }
        }
    }' "$lookups"
