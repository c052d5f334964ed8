// Entry point of the benchmark executable: "--generate DIR" writes the import corpus files
// into DIR and exits; anything else runs the benchmarks with Google Benchmark's options.
#include "import_corpus.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--generate") == 0) {
        if (argc != 3) {
            std::fprintf(stderr, "usage: %s --generate DIR\n", argv[0]);
            return 2;
        }
        if (!ril_bench::WriteCorpusFiles(argv[2])) {
            std::fprintf(stderr, "%s: cannot write the corpus files into '%s'\n", argv[0], argv[2]);
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
