// Benchmarks: exporting the 100,000-item corpus BIN as an MBCS text resource file and writing
// its header, each compared with one fwrite of as many bytes to a new file.
#include "Ril4410.h"
#include "import_corpus.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;
using ril_bench::kCorpusItems;

// Without a log the importer shows its gap count as a notice; drop it.
void IgnoreNotice(void *, char const *, char const *) {}

std::string ReadWholeFile(std::string const &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The corpus imported once into an MBCS BIN, with one export and one header written from it
// so that the baselines know their sizes. Everything lives in a fresh temporary folder that
// is removed again when the process ends.
class ExportFiles {
  public:
    static ExportFiles const &Get() {
        static const ExportFiles files;
        return files;
    }
    ~ExportFiles() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    ExportFiles(ExportFiles const &) = delete;
    ExportFiles &operator=(ExportFiles const &) = delete;

    std::string const &Bin() const { return bin_; }
    std::string const &Text() const { return text_; }
    std::string const &HeaderDir() const { return headerDir_; }
    std::string const &Plain() const { return plain_; }
    std::string const &ExportBytes() const { return exportBytes_; }
    std::string const &HeaderBytes() const { return headerBytes_; }
    bool Ok() const { return ok_; }

  private:
    ExportFiles() {
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            fs::path candidate =
                fs::temp_directory_path() / ("ril4410_export_bench_" + std::to_string(seed()));
            std::error_code error;
            if (fs::create_directory(candidate, error))
                folder_ = candidate;
        }
        if (folder_.empty())
            return;
        const std::string source = (folder_ / "corpus.txt").string();
        bin_ = (folder_ / "strings.bin").string();
        text_ = (folder_ / "export.txt").string();
        headerDir_ = folder_.string();
        plain_ = (folder_ / "plain.out").string();
        if (!ril_bench::WriteWholeFile(source, ril_bench::MbcsTextFile(ril_bench::BuildCorpus())))
            return;
        Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
        bool const imported =
            Ril_ImportResFromTxtToBin(source.c_str(), 0, bin_.c_str(), nullptr) == 0;
        Ril_SetNoticeHandler(nullptr, nullptr);
        if (!imported || Ril_ExportResFromBinToTxt(text_.c_str(), 0, bin_.c_str()) != 0 ||
            Ril_WriteHeaderFile(headerDir_.c_str(), 0, bin_.c_str()) != 0)
            return;
        exportBytes_ = ReadWholeFile(text_);
        headerBytes_ = ReadWholeFile((folder_ / "strings.h").string());
        ok_ = !exportBytes_.empty() && !headerBytes_.empty();
    }

    fs::path folder_;
    std::string bin_, text_, headerDir_, plain_;
    std::string exportBytes_, headerBytes_;
    bool ok_ = false;
};

void BM_ExportMbcs(benchmark::State &state) {
    ExportFiles const &files = ExportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot prepare the corpus BIN");
        return;
    }
    for (auto _ : state) {
        if (Ril_ExportResFromBinToTxt(files.Text().c_str(), 0, files.Bin().c_str()) != 0) {
            state.SkipWithError("Ril_ExportResFromBinToTxt failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(files.ExportBytes().size()));
    state.counters["items"] = static_cast<double>(kCorpusItems);
}

void BM_HeaderMbcs(benchmark::State &state) {
    ExportFiles const &files = ExportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot prepare the corpus BIN");
        return;
    }
    for (auto _ : state) {
        if (Ril_WriteHeaderFile(files.HeaderDir().c_str(), 0, files.Bin().c_str()) != 0) {
            state.SkipWithError("Ril_WriteHeaderFile failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(files.HeaderBytes().size()));
    state.counters["items"] = static_cast<double>(kCorpusItems);
}

// The tool's header: the BIN read once for its inspection and its header, the inspection's
// flavour taken (what `ril4410 header` does after its start).
void BM_HeaderInspectedMbcs(benchmark::State &state) {
    ExportFiles const &files = ExportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot prepare the corpus BIN");
        return;
    }
    auto const choose = [](void *, RIL_BIN_INFO const *info) {
        return info->flavour == RIL_BIN_FLAVOUR_WIDE ? 1 : 0;
    };
    for (auto _ : state) {
        RIL_BIN_INFO info{};
        info.structSize = sizeof info;
        if (Ril_WriteHeaderFileInspected(files.HeaderDir().c_str(), files.Bin().c_str(), choose,
                                         nullptr, &info) != 0) {
            state.SkipWithError("Ril_WriteHeaderFileInspected failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(files.HeaderBytes().size()));
    state.counters["items"] = static_cast<double>(kCorpusItems);
}

enum class Output { Export, Header };

// Baseline: the output's bytes, already in memory, written with one fwrite to a new file
// (the previous one is removed outside the timing), then closed.
void BM_WriteOutputBytes(benchmark::State &state, Output output) {
    ExportFiles const &files = ExportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot prepare the corpus BIN");
        return;
    }
    std::string const &bytes = output == Output::Export ? files.ExportBytes() : files.HeaderBytes();
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(files.Plain().c_str());
        state.ResumeTiming();
        std::FILE *file = std::fopen(files.Plain().c_str(), "wb");
        if (file == nullptr) {
            state.SkipWithError("cannot create the output file");
            break;
        }
        const std::size_t put = std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (std::fclose(file) != 0 || put != bytes.size()) {
            state.SkipWithError("cannot write the output file");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// A second baseline: the same bytes written the way the tools replace a file, to a temporary
// file beside the previous output and renamed over it (which on ext4 also starts the
// writeback of the new file).
void BM_ReplaceOutputBytes(benchmark::State &state, Output output) {
    ExportFiles const &files = ExportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot prepare the corpus BIN");
        return;
    }
    std::string const &bytes = output == Output::Export ? files.ExportBytes() : files.HeaderBytes();
    const std::string temporary = files.Plain() + ".tmp";
    for (auto _ : state) {
        std::FILE *file = std::fopen(temporary.c_str(), "wb");
        if (file == nullptr) {
            state.SkipWithError("cannot create the temporary file");
            break;
        }
        const std::size_t put = std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (std::fclose(file) != 0 || put != bytes.size() ||
            std::rename(temporary.c_str(), files.Plain().c_str()) != 0) {
            state.SkipWithError("cannot replace the output file");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

} // namespace

BENCHMARK_CAPTURE(BM_ReplaceOutputBytes, export, Output::Export)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReplaceOutputBytes, header, Output::Header)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteOutputBytes, export, Output::Export)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExportMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteOutputBytes, header, Output::Header)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_HeaderMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeaderInspectedMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
