// Hot random lookups as an application sees them: the getters called through the shared
// library's exported functions, beside a plain array of text pointers indexed by ID, read the
// same way (the first character of each text). The array points either at the very texts the
// getters hand out (the same bytes in memory, so only the lookup differs) or at compact copies
// of them (texts back to back, without the records around them); the same array behind a
// function call that is not inlined shows what a call alone costs. Each is
// measured twice: as independent lookups (the CPU overlaps many of them), and as a dependent
// chain where the next ID depends on the character just read, as when a program uses the
// text it looked up before it looks up the next one.
#include "Ril4410.h"
#include "exported_array.h"
#include "support/random_table.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ril::test::Random;

constexpr std::size_t kRotation = std::size_t{1} << 17; // IDs per precomputed rotation

void Quiet(void *, char const *, char const *) {}

// A scratch folder for the generated text files and BINs, removed when the process ends.
class Scratch {
  public:
    static fs::path const &Folder() {
        static Scratch scratch;
        return scratch.folder_;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

  private:
    Scratch() {
        std::error_code error;
        for (unsigned attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            fs::path candidate = fs::temp_directory_path() /
                                 ("ril4410_lookup_bench_" + std::to_string(Random(attempt).Next()));
            if (fs::create_directory(candidate, error))
                folder_ = candidate;
        }
    }
    fs::path folder_;
};

// GBK double-byte characters (GB2312 rows B0-F7) for the multibyte tables.
std::vector<std::string> GbkCards() {
    std::vector<std::string> cards;
    for (unsigned lead = 0xB0; lead <= 0xF7; ++lead)
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail)
            cards.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    return cards;
}

// One random table of `items` items compiled into a BIN by the library's import, the IDs
// it holds, and the same texts in a buffer of their own behind an array of pointers by ID.
class BenchTable {
  public:
    static BenchTable &Get(bool wide, std::uint32_t items) {
        static std::map<std::pair<bool, std::uint32_t>, std::unique_ptr<BenchTable>> tables;
        std::unique_ptr<BenchTable> &table = tables[{wide, items}];
        if (!table)
            table.reset(new BenchTable(wide, items));
        return *table;
    }

    // Makes this the loaded table; false when the BIN cannot be made or loaded.
    bool Load() {
        if (bin_.empty())
            return false;
        if (loaded_ != this && Ril_LoadRes(bin_.c_str()) != 0)
            return false;
        loaded_ = this;
        return true;
    }

    std::vector<std::uint32_t> const &Ids() const { return ids_; }

    // The BIN opened as a table handle, and an empty table that falls back to it.
    RIL_TABLE const *Handle(bool fallThrough) {
        if (handle_ == nullptr && !bin_.empty()) {
            handle_ = Ril_OpenTable(bin_.c_str());
            static const std::uint8_t kEmpty[12] = {};
            emptyHead_ = Ril_OpenTableFromMemory(kEmpty, sizeof kEmpty);
            Ril_TableSetFallback(emptyHead_, handle_);
        }
        return fallThrough ? emptyHead_ : handle_;
    }
    ~BenchTable() {
        Ril_CloseTable(emptyHead_);
        Ril_CloseTable(handle_);
    }
    // The texts by ID: the getters' own (`inTable`), or the compact copies.
    std::vector<std::uint8_t const *> const &Texts(bool inTable) const {
        return inTable ? tableTexts_ : texts_;
    }

  private:
    BenchTable(bool wide, std::uint32_t items) : wide_(wide) {
        Random random(0x10C4B00Cu + items + (wide ? 1 : 0));
        std::vector<std::string> cards = GbkCards();
        ril::test::Table table =
            ril::test::RandomTable(random, wide ? nullptr : &cards, items, items, 40);
        std::string name = std::string(wide ? "wide_" : "narrow_") + std::to_string(items);
        fs::path txt = Scratch::Folder() / (name + ".txt");
        fs::path bin = Scratch::Folder() / (name + ".bin");
        std::string bytes = ril::test::EncodeUnits(ril::test::TableFile(table), table.wide);
        std::FILE *file = std::fopen(txt.string().c_str(), "wb");
        if (file == nullptr)
            return;
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written)
            return;
        Ril_SetNoticeHandler(&Quiet, nullptr);
        RIL_LONG imported = Ril_ImportResFromTxtToBin(txt.string().c_str(), table.wideFlag,
                                                      bin.string().c_str(), nullptr);
        Ril_SetNoticeHandler(nullptr, nullptr);
        if (imported != 0)
            return;
        bin_ = bin.string();
        loaded_ = nullptr;
        if (!Load())
            return;
        CopyTexts();
    }

    // Every ID with a record, the text the getter hands out for it and a copy of that text.
    void CopyTexts() {
        std::vector<std::pair<std::uint32_t, std::size_t>> offsets;
        for (std::uint32_t id = 0; id < 0x40000; ++id) {
            if (Ril_GetData(id) == nullptr)
                continue;
            ids_.push_back(id);
            offsets.emplace_back(id, copies_.size());
            if (wide_) {
                const RIL_WCHAR *text = Ril_GetStringW(id);
                do
                    copies_.append(reinterpret_cast<char const *>(text), 2);
                while (*text++ != 0);
            } else {
                copies_.append(Ril_GetStringA(id));
                copies_.push_back('\0');
            }
        }
        texts_.assign(ids_.empty() ? 0 : ids_.back() + 1, nullptr);
        tableTexts_.assign(texts_.size(), nullptr);
        for (auto const &[id, offset] : offsets) {
            texts_[id] = reinterpret_cast<std::uint8_t const *>(copies_.data() + offset);
            tableTexts_[id] = wide_ ? reinterpret_cast<std::uint8_t const *>(Ril_GetStringW(id))
                                    : reinterpret_cast<std::uint8_t const *>(Ril_GetStringA(id));
        }
    }

    static inline BenchTable *loaded_ = nullptr;
    RIL_TABLE *handle_ = nullptr;
    RIL_TABLE *emptyHead_ = nullptr;
    bool wide_;
    std::string bin_;
    std::vector<std::uint32_t> ids_;
    std::string copies_; // the texts back to back, as in a loaded file
    std::vector<std::uint8_t const *> texts_;
    std::vector<std::uint8_t const *> tableTexts_;
};

// IDs of the table to look up, in a random order fixed for every run.
std::vector<std::uint32_t> Rotation(BenchTable const &table) {
    std::vector<std::uint32_t> rotation(kRotation);
    Random random(0x9E3779B9u);
    std::vector<std::uint32_t> const &ids = table.Ids();
    for (std::uint32_t &id : rotation)
        id = ids[random.Below(static_cast<std::uint32_t>(ids.size()))];
    return rotation;
}

// One lookup per iteration, reading the first character of what it returns.
template <auto Read> void RunLookups(benchmark::State &state, bool wide, bool inTable = false) {
    BenchTable &table = BenchTable::Get(wide, static_cast<std::uint32_t>(state.range(0)));
    if (!table.Load() || table.Ids().empty()) {
        state.SkipWithError("cannot build or load the benchmark table");
        return;
    }
    const std::vector<std::uint32_t> rotation = Rotation(table);
    std::uint32_t const *ids = rotation.data();
    std::uint8_t const *const *texts = table.Texts(inTable).data();
    for (std::uint32_t id : rotation) // every text is handed out once before timing
        benchmark::DoNotOptimize(Read(texts, id));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Read(texts, ids[next]));
        next = (next + 1) & (kRotation - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// A dependent chain: the next ID is taken from the rotation at an index that depends on the
// character just read, so each lookup waits for the one before.
template <auto Read> void RunChain(benchmark::State &state, bool wide, bool inTable = false) {
    BenchTable &table = BenchTable::Get(wide, static_cast<std::uint32_t>(state.range(0)));
    if (!table.Load() || table.Ids().empty()) {
        state.SkipWithError("cannot build or load the benchmark table");
        return;
    }
    const std::vector<std::uint32_t> rotation = Rotation(table);
    std::uint32_t const *ids = rotation.data();
    std::uint8_t const *const *texts = table.Texts(inTable).data();
    for (std::uint32_t id : rotation)
        benchmark::DoNotOptimize(Read(texts, id));
    std::size_t next = 0;
    for (auto _ : state) {
        unsigned c = Read(texts, ids[next]);
        next = (next + 1 + (c & 1)) & (kRotation - 1);
    }
    benchmark::DoNotOptimize(next);
    state.SetItemsProcessed(state.iterations());
}

std::uint8_t ReadArrayA(std::uint8_t const *const *texts, std::uint32_t id) {
    return texts[id][0];
}
RIL_WCHAR ReadArrayW(std::uint8_t const *const *texts, std::uint32_t id) {
    return reinterpret_cast<const RIL_WCHAR *>(texts[id])[0];
}

// The same array behind a function that is not inlined: what a call itself costs.
std::uint8_t const *const *calledTexts = nullptr;
[[gnu::noinline]] std::uint8_t const *CalledArray(std::uint32_t id) {
    return calledTexts[id];
}
std::uint8_t ReadCalledArrayA(std::uint8_t const *const *texts, std::uint32_t id) {
    calledTexts = texts;
    return CalledArray(id)[0];
}

std::uint8_t ReadGetStringA(std::uint8_t const *const *, std::uint32_t id) {
    return static_cast<std::uint8_t>(Ril_GetStringA(id)[0]);
}
std::uint8_t ReadGetData(std::uint8_t const *const *, std::uint32_t id) {
    return static_cast<std::uint8_t const *>(Ril_GetData(id))[0];
}
RIL_WCHAR ReadGetStringW(std::uint8_t const *const *, std::uint32_t id) {
    return Ril_GetStringW(id)[0];
}

// Table handles beside their yardstick, array[id] behind a function that another shared
// library exports, over the very texts the handle hands out: the handle's own lookup, the same
// lookup through an empty table that falls back to it, and the exported array.
enum class HandleRead { ExportedArray, Handle, FallThrough };

template <bool Wide, HandleRead How> void HandleLookups(benchmark::State &state) {
    BenchTable &table = BenchTable::Get(Wide, static_cast<std::uint32_t>(state.range(0)));
    RIL_TABLE const *handle = table.Handle(false);
    if (handle == nullptr || table.Ids().empty()) {
        state.SkipWithError("cannot build or open the benchmark table");
        return;
    }
    std::vector<void const *> texts(table.Ids().back() + 1);
    for (std::uint32_t id : table.Ids())
        texts[id] = Wide ? static_cast<void const *>(Ril_TableGetStringW(handle, id))
                         : static_cast<void const *>(Ril_TableGetStringA(handle, id));
    BenchArraySet(texts.data());
    RIL_TABLE const *head = table.Handle(How == HandleRead::FallThrough);
    const std::vector<std::uint32_t> rotation = Rotation(table);
    auto read = [head](std::uint32_t id) -> unsigned {
        if constexpr (How == HandleRead::ExportedArray)
            return Wide ? static_cast<RIL_WCHAR const *>(BenchArrayGet(id))[0]
                        : static_cast<std::uint8_t const *>(BenchArrayGet(id))[0];
        else if constexpr (Wide)
            return Ril_TableGetStringW(head, id)[0];
        else
            return static_cast<std::uint8_t>(Ril_TableGetStringA(head, id)[0]);
    };
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read(rotation[next]));
        next = (next + 1) & (kRotation - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// The benchmarks as registered: independent lookups, then dependent chains; "TableArray"
// reads the getters' own texts.
template <auto Read, bool Wide, bool InTable = false> void Lookups(benchmark::State &state) {
    RunLookups<Read>(state, Wide, InTable);
}
template <auto Read, bool Wide, bool InTable = false> void Chain(benchmark::State &state) {
    RunChain<Read>(state, Wide, InTable);
}

struct Registration {
    char const *name;
    void (*run)(benchmark::State &);
};
const Registration kBenchmarks[] = {
    {"BM_PointerArrayA", Lookups<ReadArrayA, false>},
    {"BM_TableArrayA", Lookups<ReadArrayA, false, true>},
    {"BM_CalledArrayA", Lookups<ReadCalledArrayA, false>},
    {"BM_GetStringA", Lookups<ReadGetStringA, false>},
    {"BM_GetData", Lookups<ReadGetData, false>},
    {"BM_PointerArrayW", Lookups<ReadArrayW, true>},
    {"BM_TableArrayW", Lookups<ReadArrayW, true, true>},
    {"BM_GetStringW", Lookups<ReadGetStringW, true>},
    {"BM_ChainArrayA", Chain<ReadArrayA, false>},
    {"BM_ChainTableArrayA", Chain<ReadArrayA, false, true>},
    {"BM_ChainGetStringA", Chain<ReadGetStringA, false>},
    {"BM_ChainGetData", Chain<ReadGetData, false>},
    {"BM_ChainArrayW", Chain<ReadArrayW, true>},
    {"BM_ChainTableArrayW", Chain<ReadArrayW, true, true>},
    {"BM_ChainGetStringW", Chain<ReadGetStringW, true>},
    {"BM_ExportedArrayA", HandleLookups<false, HandleRead::ExportedArray>},
    {"BM_TableGetStringA", HandleLookups<false, HandleRead::Handle>},
    {"BM_FallThroughGetStringA", HandleLookups<false, HandleRead::FallThrough>},
    {"BM_ExportedArrayW", HandleLookups<true, HandleRead::ExportedArray>},
    {"BM_TableGetStringW", HandleLookups<true, HandleRead::Handle>},
    {"BM_FallThroughGetStringW", HandleLookups<true, HandleRead::FallThrough>},
};

[[maybe_unused]] bool const registered = [] {
    for (const Registration &entry : kBenchmarks)
        benchmark::RegisterBenchmark(entry.name, entry.run)->Arg(10000)->Arg(100000);
    return true;
}();

} // namespace
