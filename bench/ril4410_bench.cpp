// Benchmarks: loading a 100,000-item table's ~10 MB BIN compared with a plain whole-file read
// of the same file. The lookups are measured through the shared library in lookup_bench.cpp.
#include "Ril4410.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#if defined(__unix__)
#include <sys/mman.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kItemCount = 100000; // IDs 1..kItemCount, all multibyte

void PutU16(std::vector<std::uint8_t> &out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t> &out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutText(std::vector<std::uint8_t> &out, char const *text, int length) {
    out.insert(out.end(), text, text + length);
    out.push_back(0);
}

// The BIN image: holder flag 1, entries in ascending ID order, then a holder marker.
// Macros are ITEM_000123; texts are about 80 bytes, so the file is about 10 MB.
std::vector<std::uint8_t> BuildBin() {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t{kItemCount} * 104 + 128);
    PutU32(out, 1);
    PutU32(out, kItemCount);
    PutU32(out, kItemCount);
    for (std::uint32_t id = 1; id <= kItemCount; ++id) {
        char macro[32];
        char text[128];
        int macroLength = std::snprintf(macro, sizeof macro, "ITEM_%06u", id);
        int textLength = std::snprintf(
            text, sizeof text,
            "Message %06u of the benchmark table, long enough to pass for a real UI text.", id);
        PutU32(out, id);
        PutU32(out, static_cast<std::uint32_t>(2 + macroLength + 1 + textLength + 1));
        PutU16(out, static_cast<std::uint16_t>(macroLength + 1));
        PutText(out, macro, macroLength);
        PutText(out, text, textLength);
    }
    const std::string holder = "Holder=bench    Editor=VeruDodUzarer    StartTime=2024-1-1 0:0'0\"";
    out.insert(out.end(), holder.begin(), holder.end());
    PutU16(out, static_cast<std::uint16_t>(holder.size()));
    out.push_back(0);
    return out;
}

// The benchmark BIN, written once per process into a fresh temporary folder that is
// removed again when the process ends.
class BenchBin {
  public:
    static BenchBin const &Get() {
        static const BenchBin bin;
        return bin;
    }
    ~BenchBin() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    BenchBin(BenchBin const &) = delete;
    BenchBin &operator=(BenchBin const &) = delete;

    std::string const &Path() const { return path_; }
    bool Ok() const { return ok_; }

  private:
    BenchBin() {
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            fs::path candidate =
                fs::temp_directory_path() / ("ril4410_bench_" + std::to_string(seed()));
            std::error_code error;
            if (fs::create_directory(candidate, error))
                folder_ = candidate;
        }
        if (folder_.empty())
            return;
        path_ = (folder_ / "bench.bin").string();
        std::vector<std::uint8_t> bytes = BuildBin();
        std::FILE *file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr)
            return;
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok_ = std::fclose(file) == 0 && written;
    }

    fs::path folder_;
    std::string path_;
    bool ok_ = false;
};

// Baseline for loading: open the file, read it whole with one fread into a fresh buffer,
// close it and release the buffer.
void BM_PlainRead(benchmark::State &state) {
    BenchBin const &bin = BenchBin::Get();
    if (!bin.Ok()) {
        state.SkipWithError("cannot write the benchmark BIN");
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE *file = std::fopen(bin.Path().c_str(), "rb");
        if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) {
            state.SkipWithError("cannot open the benchmark BIN");
            break;
        }
        long length = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length > 0 ? length : 1]);
        std::size_t got = std::fread(buffer.get(), 1, static_cast<std::size_t>(length), file);
        std::fclose(file);
        benchmark::DoNotOptimize(buffer.get());
        benchmark::ClobberMemory();
        bytes += static_cast<std::int64_t>(got);
    }
    state.SetBytesProcessed(bytes);
}

#if defined(__unix__)
// The same read into pages freshly mapped for each iteration and unmapped after it. The
// allocator may keep BM_PlainRead's buffer resident between iterations; a load into a new
// process cannot, so this shows what the page faults of a cold buffer add to the read.
void BM_PlainReadFreshPages(benchmark::State &state) {
    BenchBin const &bin = BenchBin::Get();
    if (!bin.Ok()) {
        state.SkipWithError("cannot write the benchmark BIN");
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE *file = std::fopen(bin.Path().c_str(), "rb");
        if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) {
            state.SkipWithError("cannot open the benchmark BIN");
            break;
        }
        long length = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        std::size_t mapped = static_cast<std::size_t>(length > 0 ? length : 1);
        void *buffer =
            mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (buffer == MAP_FAILED) {
            std::fclose(file);
            state.SkipWithError("mmap failed");
            break;
        }
        std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(length), file);
        std::fclose(file);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
        munmap(buffer, mapped);
        bytes += static_cast<std::int64_t>(got);
    }
    state.SetBytesProcessed(bytes);
}
#endif

// Loading the BIN into the table; each load also releases the table loaded before it.
void BM_LoadRes(benchmark::State &state) {
    BenchBin const &bin = BenchBin::Get();
    if (!bin.Ok()) {
        state.SkipWithError("cannot write the benchmark BIN");
        return;
    }
    std::error_code error;
    const std::int64_t fileSize = static_cast<std::int64_t>(fs::file_size(bin.Path(), error));
    for (auto _ : state) {
        if (Ril_LoadRes(bin.Path().c_str()) != 0) {
            state.SkipWithError("Ril_LoadRes failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
    state.counters["items"] = Ril_GetNumItem();
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
#if defined(__unix__)
BENCHMARK(BM_PlainReadFreshPages)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif
BENCHMARK(BM_LoadRes)->Unit(benchmark::kMillisecond)->UseRealTime();
