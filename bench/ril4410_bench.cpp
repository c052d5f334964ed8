// Benchmarks: the lookup getters on a loaded 100,000-item table, and loading that table's
// ~10 MB BIN compared with a plain whole-file read of the same file.
#include "Ril4410.h"
#include "support/random_table.h"

#include <benchmark/benchmark.h>

#include <array>
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

constexpr std::uint32_t kItemCount = 100000;            // IDs 1..kItemCount, all multibyte
constexpr std::uint32_t kCapacity = kItemCount + 10;    // the table's ID slots: max ID + 10
constexpr std::size_t kRotation = std::size_t{1} << 14; // IDs per precomputed rotation

void PutU16(std::vector<std::uint8_t> &out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t> &out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutText(std::vector<std::uint8_t> &out, const char *text, int length) {
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
    static const BenchBin &Get() {
        static const BenchBin bin;
        return bin;
    }
    ~BenchBin() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    BenchBin(const BenchBin &) = delete;
    BenchBin &operator=(const BenchBin &) = delete;

    const std::string &Path() const { return path_; }
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

// IDs to look up, precomputed so that the timed loop only walks an array.
enum class IdKind {
    Hit,        // an ID with a record: 1..kItemCount
    MissGap,    // an empty slot inside the table: ID 0 or max ID + 1 .. max ID + 9
    MissBeyond, // an ID at or above the capacity
};

const std::vector<std::uint32_t> &Ids(IdKind kind) {
    using Sets = std::array<std::vector<std::uint32_t>, 3>;
    static const Sets sets = [] {
        Sets result;
        ril::test::Random random(0x9E3779B9u); // every run looks up the same IDs
        for (std::size_t i = 0; i < kRotation; ++i) {
            result[0].push_back(1 + random.Below(kItemCount));
            std::uint32_t gap = random.Below(10);
            result[1].push_back(gap == 0 ? 0 : kItemCount + gap);
            result[2].push_back(random.Between(kCapacity, 0xFFFFFFFFu));
        }
        return result;
    }();
    return sets[static_cast<std::size_t>(kind)];
}

// Loads the benchmark BIN unless it is already the loaded table.
bool EnsureLoaded(benchmark::State &state) {
    const BenchBin &bin = BenchBin::Get();
    if (!bin.Ok()) {
        state.SkipWithError("cannot write the benchmark BIN");
        return false;
    }
    if (Ril_GetNumItem() != kItemCount && Ril_LoadRes(bin.Path().c_str()) != 0) {
        state.SkipWithError("Ril_LoadRes failed");
        return false;
    }
    return true;
}

// One lookup per iteration, so the reported time is the time per lookup.
template <typename Getter> void RunLookups(benchmark::State &state, Getter getter, IdKind kind) {
    if (!EnsureLoaded(state))
        return;
    const std::uint32_t *ids = Ids(kind).data();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getter(ids[next]));
        next = (next + 1) & (kRotation - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GetStringA(benchmark::State &state, IdKind kind) {
    RunLookups(
        state, [](std::uint32_t id) { return Ril_GetStringA(id); }, kind);
}

void BM_GetStringW(benchmark::State &state, IdKind kind) {
    RunLookups(
        state, [](std::uint32_t id) { return Ril_GetStringW(id); }, kind);
}

void BM_GetData(benchmark::State &state, IdKind kind) {
    RunLookups(
        state, [](std::uint32_t id) { return Ril_GetData(id); }, kind);
}

// Baseline for loading: open the file, read it whole with one fread into a fresh buffer,
// close it and release the buffer.
void BM_PlainRead(benchmark::State &state) {
    const BenchBin &bin = BenchBin::Get();
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
    const BenchBin &bin = BenchBin::Get();
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
    const BenchBin &bin = BenchBin::Get();
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

BENCHMARK_CAPTURE(BM_GetStringA, hit, IdKind::Hit);
BENCHMARK_CAPTURE(BM_GetStringA, miss_gap, IdKind::MissGap);
BENCHMARK_CAPTURE(BM_GetStringA, miss_beyond, IdKind::MissBeyond);
BENCHMARK_CAPTURE(BM_GetStringW, hit, IdKind::Hit);
BENCHMARK_CAPTURE(BM_GetStringW, miss_gap, IdKind::MissGap);
BENCHMARK_CAPTURE(BM_GetStringW, miss_beyond, IdKind::MissBeyond);
BENCHMARK_CAPTURE(BM_GetData, hit, IdKind::Hit);
BENCHMARK_CAPTURE(BM_GetData, miss_gap, IdKind::MissGap);
BENCHMARK_CAPTURE(BM_GetData, miss_beyond, IdKind::MissBeyond);
