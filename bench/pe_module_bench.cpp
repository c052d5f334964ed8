// Benchmarks of the resource-module service over the PE layer: probing every 16-bit ID of a
// module with 10,000 item resources, loading it, and committing 10,000 items into a module.
#include "pe/module.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ril::pe::kRtRcData;

constexpr std::uint16_t kItems = 10000;

void Put16(std::vector<std::uint8_t> &b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A minimal PE32+ DLL: headers and one .text section, no resources.
std::vector<std::uint8_t> EmptyModule() {
    std::vector<std::uint8_t> file(0x400, 0);
    file[0] = 'M';
    file[1] = 'Z';
    Put32(file, 0x3C, 0x40);
    file[0x40] = 'P';
    file[0x41] = 'E';
    const std::size_t coff = 0x44, optional = coff + 20, table = optional + 240;
    Put16(file, coff, 0x8664);
    Put16(file, coff + 2, 1);
    Put16(file, coff + 16, 240);
    Put16(file, coff + 18, 0x2022);
    Put16(file, optional, 0x20B);
    Put32(file, optional + 32, 0x1000); // SectionAlignment
    Put32(file, optional + 36, 0x200);  // FileAlignment
    Put32(file, optional + 56, 0x2000); // SizeOfImage
    Put32(file, optional + 60, 0x200);  // SizeOfHeaders
    Put32(file, optional + 108, 16);
    std::copy_n(".text", 5, file.begin() + table);
    Put32(file, table + 8, 0x10);
    Put32(file, table + 12, 0x1000);
    Put32(file, table + 16, 0x200);
    Put32(file, table + 20, 0x200);
    Put32(file, table + 36, 0x60000020);
    file[0x200] = 0xC3;
    return file;
}

// An item record as the editing session writes it: macro length, macro, text.
std::vector<std::uint8_t> ItemRecord(std::uint16_t id) {
    char macro[32], text[96];
    int m = std::snprintf(macro, sizeof macro, "ITEM_%05u", static_cast<unsigned>(id));
    int t =
        std::snprintf(text, sizeof text, "Message %05u of the benchmark module, a typical UI text.",
                      static_cast<unsigned>(id));
    std::string record = {static_cast<char>(m + 1), '\0'};
    record.append(macro, static_cast<std::size_t>(m) + 1);
    record.append(text, static_cast<std::size_t>(t) + 1);
    return std::vector<std::uint8_t>(record.begin(), record.end());
}

bool WriteBytes(std::string const &path, std::vector<std::uint8_t> const &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// Commits items 1..kItems, in one batch, into the module at `path`.
bool CommitItems(std::string const &path, std::vector<std::vector<std::uint8_t>> const &records) {
    auto update = ril::pe::BeginResourceUpdate(path.c_str());
    if (!update)
        return false;
    for (std::uint16_t id = 1; id <= kItems; ++id)
        if (!update->Update(kRtRcData, id, 0, records[id - 1].data(),
                            static_cast<std::uint32_t>(records[id - 1].size())))
            return false;
    return update->End(false);
}

// A scratch folder with the empty module and the 10,000-item module built by the layer.
class BenchModules {
  public:
    static BenchModules const &Get() {
        static const BenchModules modules;
        return modules;
    }
    ~BenchModules() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    BenchModules(BenchModules const &) = delete;
    BenchModules &operator=(BenchModules const &) = delete;

    bool Ok() const { return ok_; }
    std::string Path(char const *name) const { return (folder_ / name).string(); }
    std::vector<std::vector<std::uint8_t>> const &Records() const { return records_; }

  private:
    BenchModules() {
        std::random_device seed;
        folder_ = fs::temp_directory_path() / ("ril4410_pe_bench_" + std::to_string(seed()));
        std::error_code error;
        if (!fs::create_directory(folder_, error))
            return;
        for (std::uint16_t id = 1; id <= kItems; ++id)
            records_.push_back(ItemRecord(id));
        ok_ = WriteBytes(Path("empty.dll"), EmptyModule()) &&
              WriteBytes(Path("items.dll"), EmptyModule()) &&
              CommitItems(Path("items.dll"), records_);
    }

    fs::path folder_;
    std::vector<std::vector<std::uint8_t>> records_;
    bool ok_ = false;
};

// One iteration probes every ID 1..65535 (10,000 hits, the rest misses).
void BM_FindAll16BitIds(benchmark::State &state) {
    BenchModules const &modules = BenchModules::Get();
    auto module = modules.Ok() ? ril::pe::LoadModule(modules.Path("items.dll").c_str()) : nullptr;
    if (!module) {
        state.SkipWithError("cannot build the 10,000-item module");
        return;
    }
    std::uint64_t found = 0;
    for (auto _ : state) {
        for (std::uint32_t id = 1; id <= 0xFFFF; ++id) {
            auto r = module->Find(kRtRcData, static_cast<std::uint16_t>(id));
            found += r.size;
            benchmark::DoNotOptimize(r.data);
        }
    }
    state.counters["probes"] = 65535;
    state.counters["bytes_found"] = static_cast<double>(found / state.iterations());
}

void BM_LoadModule10000Items(benchmark::State &state) {
    BenchModules const &modules = BenchModules::Get();
    if (!modules.Ok()) {
        state.SkipWithError("cannot build the 10,000-item module");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ril::pe::LoadModule(modules.Path("items.dll").c_str()));
}

// One iteration starts from the module without resources and commits 10,000 items.
void BM_Commit10000Items(benchmark::State &state) {
    BenchModules const &modules = BenchModules::Get();
    const std::string path = modules.Path("commit.dll");
    const std::vector<std::uint8_t> empty = EmptyModule();
    for (auto _ : state) {
        state.PauseTiming();
        bool ready = modules.Ok() && WriteBytes(path, empty);
        state.ResumeTiming();
        if (!ready || !CommitItems(path, modules.Records())) {
            state.SkipWithError("commit failed");
            break;
        }
    }
}

// The usual commit of a session: one changed item in a module that holds 10,000.
void BM_CommitOneItemInto10000(benchmark::State &state) {
    BenchModules const &modules = BenchModules::Get();
    const std::string path = modules.Path("items.dll");
    std::uint16_t id = 1;
    for (auto _ : state) {
        auto update = modules.Ok() ? ril::pe::BeginResourceUpdate(path.c_str()) : nullptr;
        std::vector<std::uint8_t> record = ItemRecord(id);
        if (!update ||
            !update->Update(kRtRcData, id, 0, record.data(),
                            static_cast<std::uint32_t>(record.size())) ||
            !update->End(false)) {
            state.SkipWithError("commit failed");
            break;
        }
        id = static_cast<std::uint16_t>(id % kItems + 1);
    }
}

} // namespace

BENCHMARK(BM_FindAll16BitIds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadModule10000Items)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Commit10000Items)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommitOneItemInto10000)->Unit(benchmark::kMillisecond)->UseRealTime();
