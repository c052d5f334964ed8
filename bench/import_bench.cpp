// Benchmarks: importing the 100,000-item corpus as an MBCS and as a WCS text resource file,
// each compared with a plain whole-file copy of the same file, and the lint of the same files
// as the tool's check and its import pre-check run it.
#include "Ril4410.h"
#include "import_corpus.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ril_bench::kCorpusItems;

enum class Flavour { Mbcs, Wcs };

// The corpus as both text files, written once per process into a fresh temporary folder
// that is removed again when the process ends. The import and copy targets live there too.
class ImportFiles {
  public:
    static ImportFiles const &Get() {
        static const ImportFiles files;
        return files;
    }
    ~ImportFiles() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    ImportFiles(ImportFiles const &) = delete;
    ImportFiles &operator=(ImportFiles const &) = delete;

    std::string const &Text(Flavour flavour) const {
        return flavour == Flavour::Mbcs ? mbcs_ : wcs_;
    }
    std::int64_t TextSize(Flavour flavour) const {
        return flavour == Flavour::Mbcs ? mbcsSize_ : wcsSize_;
    }
    std::string const &Bin() const { return bin_; }
    std::string const &Copy() const { return copy_; }
    bool Ok() const { return ok_; }

  private:
    ImportFiles() {
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            fs::path candidate =
                fs::temp_directory_path() / ("ril4410_import_bench_" + std::to_string(seed()));
            std::error_code error;
            if (fs::create_directory(candidate, error))
                folder_ = candidate;
        }
        if (folder_.empty())
            return;
        mbcs_ = (folder_ / "strings.txt").string();
        wcs_ = (folder_ / "strings_wide.txt").string();
        bin_ = (folder_ / "import.bin").string();
        copy_ = (folder_ / "copy.txt").string();
        const std::vector<ril_bench::CorpusItem> items = ril_bench::BuildCorpus();
        const std::string mbcs = ril_bench::MbcsTextFile(items);
        const std::string wcs = ril_bench::WcsTextFile(items);
        mbcsSize_ = static_cast<std::int64_t>(mbcs.size());
        wcsSize_ = static_cast<std::int64_t>(wcs.size());
        ok_ = ril_bench::WriteWholeFile(mbcs_, mbcs) && ril_bench::WriteWholeFile(wcs_, wcs);
    }

    fs::path folder_;
    std::string mbcs_, wcs_, bin_, copy_;
    std::int64_t mbcsSize_ = 0, wcsSize_ = 0;
    bool ok_ = false;
};

// Without a log the importer shows its notices (the gap count of every run); drop them.
void IgnoreNotice(void *, char const *, char const *) {}

// One whole import per iteration: parse, validate, write the BIN.
void RunImport(benchmark::State &state, Flavour flavour) {
    ImportFiles const &files = ImportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot write the corpus files");
        return;
    }
    Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
    int const wide = flavour == Flavour::Wcs ? 1 : 0;
    for (auto _ : state) {
        if (Ril_ImportResFromTxtToBin(files.Text(flavour).c_str(), wide, files.Bin().c_str(),
                                      nullptr) != 0) {
            state.SkipWithError("Ril_ImportResFromTxtToBin failed");
            break;
        }
    }
    Ril_SetNoticeHandler(nullptr, nullptr);
    state.SetBytesProcessed(state.iterations() * files.TextSize(flavour));
    state.counters["items"] = static_cast<double>(kCorpusItems);
}

// One lint per iteration with `flags`: as check runs it (parse, validation, every finding) or
// as the import's pre-check does (the findings alone).
void RunLint(benchmark::State &state, Flavour flavour, unsigned flags) {
    ImportFiles const &files = ImportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot write the corpus files");
        return;
    }
    Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
    int const wide = flavour == Flavour::Wcs ? 1 : 0;
    for (auto _ : state) {
        if (Ril_LintResTxt(files.Text(flavour).c_str(), wide, flags) != 0) {
            state.SkipWithError("Ril_LintResTxt found errors");
            break;
        }
    }
    Ril_SetNoticeHandler(nullptr, nullptr);
    state.SetBytesProcessed(state.iterations() * files.TextSize(flavour));
}

// The flags of the tool's check.
constexpr unsigned kCheckFlags =
    RIL_LINT_STRICT_BYTES | RIL_LINT_MACRO_LIMIT_ERROR | RIL_LINT_NO_ITEMS_ERROR;

// Baseline for the import: read the text file whole with one fread into a fresh buffer,
// write it whole to another file with one fwrite, close both and release the buffer.
void RunPlainCopy(benchmark::State &state, Flavour flavour) {
    ImportFiles const &files = ImportFiles::Get();
    if (!files.Ok()) {
        state.SkipWithError("cannot write the corpus files");
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE *source = std::fopen(files.Text(flavour).c_str(), "rb");
        if (source == nullptr || std::fseek(source, 0, SEEK_END) != 0) {
            if (source != nullptr)
                std::fclose(source);
            state.SkipWithError("cannot open the text file");
            break;
        }
        long length = std::ftell(source);
        std::fseek(source, 0, SEEK_SET);
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length > 0 ? length : 1]);
        std::size_t got = std::fread(buffer.get(), 1, static_cast<std::size_t>(length), source);
        std::fclose(source);
        std::FILE *target = std::fopen(files.Copy().c_str(), "wb");
        if (target == nullptr) {
            state.SkipWithError("cannot create the copy");
            break;
        }
        std::size_t put = std::fwrite(buffer.get(), 1, got, target);
        if (std::fclose(target) != 0 || put != got) {
            state.SkipWithError("cannot write the copy");
            break;
        }
        bytes += static_cast<std::int64_t>(got);
    }
    state.SetBytesProcessed(bytes);
}

void BM_ImportMbcs(benchmark::State &state) {
    RunImport(state, Flavour::Mbcs);
}
void BM_ImportWcs(benchmark::State &state) {
    RunImport(state, Flavour::Wcs);
}
void BM_LintMbcs(benchmark::State &state) {
    RunLint(state, Flavour::Mbcs, kCheckFlags);
}
void BM_LintWcs(benchmark::State &state) {
    RunLint(state, Flavour::Wcs, kCheckFlags);
}
void BM_PrecheckMbcs(benchmark::State &state) {
    RunLint(state, Flavour::Mbcs, kCheckFlags | RIL_LINT_FINDINGS_ONLY);
}
void BM_PlainCopyMbcs(benchmark::State &state) {
    RunPlainCopy(state, Flavour::Mbcs);
}
void BM_PlainCopyWcs(benchmark::State &state) {
    RunPlainCopy(state, Flavour::Wcs);
}

} // namespace

BENCHMARK(BM_PlainCopyMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopyWcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportWcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LintMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrecheckMbcs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LintWcs)->Unit(benchmark::kMillisecond)->UseRealTime();
