// Loading BINs into the resource table: degenerate and malformed files, and the table's
// state after every kind of failure.
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_master.h"

#include <filesystem>

using namespace ril::core;
using namespace ril::items;
using namespace ril::table;

namespace ril::test {
namespace {

const Bytes kTwoItems =
    BinBuilder().Header(1, 5, 2).EntryA(1, "HELLO", "Hi").EntryA(5, "BYE", "OK").Trailer("h").Get();

Bytes RecordBytes(RecordRef const &record) {
    return Bytes(record.data, record.data + record.size);
}

class BinMasterTest : public LibraryTest {
  protected:
    HResult Load(Bytes const &bytes) { return table.LoadRes(Put("t.bin", bytes).c_str()); }
    // Loaded, count, capacity (the header's max ID + 10) and slots.
    std::vector<std::uint64_t> Shape() const {
        return {table.IsLoaded(), table.Count(), table.Capacity(), table.SlotCount()};
    }
    bool Missing(std::uint32_t id) const { return !table.Record(id) && table.RecordSize(id) == 0; }
    CBinMaster table;
};

TEST_F(BinMasterTest, DegenerateFilesThatLoad) {
    // The file, its holder text (null: no holder marker) and its count.
    const std::tuple<Bytes, char const *, std::uint32_t> rows[] = {
        {{}, "", 0}, // the preset flag 1 leads to a trailer read that finds nothing
        {BinBuilder().Header(1, 0, 0).Trailer("x").Get(), "x", 0},
        {BinBuilder().Header(0, 1, 1).EntryA(1, "A", "a").Trailer("who").Get(), nullptr,
         1},                                                   // flag 0
        {BinBuilder().U32(0).U32(3).U16(9).Get(), nullptr, 0}, // cut inside the count
    };
    for (auto const &[file, holder, count] : rows) {
        ASSERT_EQ(Load(file), kSOk) << file.size();
        EXPECT_EQ(
            std::pair(std::string(table.HolderText() ? table.HolderText() : "null"), table.Count()),
            std::pair(std::string(holder ? holder : "null"), count));
    }
    ASSERT_EQ(Load(BinBuilder().Header(0, 7, 0).Get()), kSOk);
    EXPECT_FALSE(table.Record(7));
}

TEST_F(BinMasterTest, EntriesSkippedReplacedAndBounded) {
    const Bytes cut = {0x02, 0x00, 'A', 'B'};
    const std::uint32_t kTop = 0xFFFFFFF7u, kHalf = 0x7FFFFFFFu;
    // Over 600 KB, so the entries are parsed part by part as the file is read: a repeated ID
    // and `middle` (an ID beyond the bound fails there) in later parts, the last record cut
    // short by the end of the file.
    auto text = [](std::uint32_t id) { return std::string(600 + id % 7, char('a' + id % 26)); };
    auto large = [&](std::uint32_t middle) {
        BinBuilder bin;
        bin.Header(0, 1000, 1001);
        for (std::uint32_t id = 1; id < 1000; ++id)
            bin.EntryA(id == 500 ? middle : id, "M", text(id));
        return bin.EntryA(1, "M", "last").U32(1000).U32(8).Raw(cut).Get();
    };
    // clang-format off
    // What, the file, the result and records by ID (an empty record: none stored).
    const std::tuple<char const *, Bytes, HResult, std::vector<std::pair<std::uint32_t, Bytes>>>
        rows[] = {
        // size 0 skipped, the rest still read; a repeated ID replaces, one of size 0 does not
        {"repeats and size 0", BinBuilder().Header(0, 3, 5).EntryA(1, "ONE", "first").Entry(2, {})
             .EntryA(3, "THREE", "3").EntryA(1, "ONE", "second").Entry(3, {}).Get(),
         kSOk, {{1, RecordA("ONE", "second")}, {2, {}}, {3, RecordA("THREE", "3")}}},
        {"max ID + 9", BinBuilder().Header(0, 5, 1).EntryA(14, "E", "e").Get(), kSOk, {{14, RecordA("E", "e")}}},
        {"max ID + 10", BinBuilder().Header(0, 5, 1).EntryA(15, "E", "e").Get(), kEFail, {}},
        {"record cut short", BinBuilder().Header(0, 1, 1).U32(1).U32(10).Raw(cut).Get(), kSOk,
         {{1, {0x02, 0x00, 'A', 'B', 0, 0, 0, 0, 0, 0}}}},
        {"count beyond the file", BinBuilder().Header(0, 1, 2).EntryA(1, "A", "a").Get(), kEFail, {}},
        {"ID cut in half", BinBuilder().Header(0, 1, 1).U16(1).Get(), kEFail, {}},
        {"bound wraps to 1", BinBuilder().Header(0, kTop, 1).EntryA(0, "Z", "z").Get(), kSOk,
         {{0, RecordA("Z", "z")}, {kTop, {}}}},
        {"beyond the wrapped bound", BinBuilder().Header(0, kTop, 1).EntryA(0xFFFFFFF0u, "Z", "z").Get(), kEFail, {}},
        {"bound wraps to 0", BinBuilder().Header(0, kTop - 1, 1).EntryA(0, "Z", "z").Get(), kEFail, {}},
        {"sparse at the bound", BinBuilder().Header(0, kHalf, 1).EntryA(kHalf + 9, "X", "x").Get(), kSOk,
         {{kHalf + 9, RecordA("X", "x")}}},
        {"sparse over the bound", BinBuilder().Header(0, kHalf, 1).EntryA(kHalf + 10, "X", "x").Get(), kEFail, {}},
        {"large", large(500), kSOk, {{1, RecordA("M", "last")}, {500, RecordA("M", text(500))},
         {999, RecordA("M", text(999))}, {1000, {0x02, 0x00, 'A', 'B', 0, 0, 0, 0}}}},
        {"large, beyond the bound in a later part", large(1010), kEFail, {}},
        {"only size 0", BinBuilder().Header(0, 1u << 30, 1).Entry(5, {}).Get(), kSOk, {{5, {}}}},
    };
    // clang-format on
    for (auto const &[what, file, result, records] : rows) {
        SCOPED_TRACE(what);
        for (bool image : {false, true}) {
            EXPECT_EQ(image ? table.LoadImage(file.data(), file.size()) : Load(file), result)
                << image;
            EXPECT_EQ(table.IsLoaded(), result == kSOk);
            for (auto const &[id, record] : records)
                EXPECT_EQ(RecordBytes(table.Record(id)), record) << id << ' ' << image;
        }
    }
    EXPECT_EQ(table.SlotCount(), 0u); // the last row: no slots at all
    ASSERT_EQ(Load(std::get<1>(rows[0])), kSOk);
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(table.RecordSize(2), 0u);
    ASSERT_EQ(Load(std::get<1>(rows[6])), kSOk);
    EXPECT_EQ(table.Capacity(), 1u);
}

TEST_F(BinMasterTest, MemoryIsBoundedByTheFile) {
    BinBuilder many;
    many.Header(1, 20000, 20000);
    for (std::uint32_t id = 1; id <= 20000; ++id)
        many.EntryA(id, "M", "t");
    ASSERT_EQ(Load(many.Get()), kSOk);
    EXPECT_EQ(table.SlotCount(), 20010u);

    // A max ID far beyond what the entries could fill: one slot per stored ID, in any entry
    // order, size-0 entries skipped, the last entry of an ID winning.
    // clang-format off
    Bytes sparse = BinBuilder().Header(0, 0xFFFFFFF0u, 6).EntryA(0xFFFFFFF9u, "TOP", "top")
            .EntryA(7, "SEVEN", "first").Entry(3, {}).EntryA(0, "ZERO", "z")
            .EntryA(7, "SEVEN", "second").Entry(7, {}).Get();
    // clang-format on
    ASSERT_EQ(Load(sparse), kSOk);
    EXPECT_EQ(Shape(), (std::vector<std::uint64_t>{1, 6, 0xFFFFFFFAu, 3}));
    EXPECT_EQ(std::make_tuple(RecordBytes(table.Record(0)), RecordBytes(table.Record(7)),
                              std::size_t(table.RecordSize(0xFFFFFFF9u)),
                              std::string(reinterpret_cast<char *>(table.NarrowText(0xFFFFFFF9u)))),
              std::make_tuple(RecordA("ZERO", "z"), RecordA("SEVEN", "second"),
                              RecordA("TOP", "top").size(), std::string("top")));
    for (std::uint32_t id : {1u, 3u, 6u, 8u, 0xFFFFFFF0u, 0xFFFFFFF8u, 0xFFFFFFFFu})
        EXPECT_TRUE(Missing(id) && table.NarrowText(id) == nullptr) << id;

    // A record cut short by the end of the file is completed with at most 1 MiB of zeros,
    // in a dense or a sparse table; one that declares more fails the load.
    const Bytes part = RecordA("CUT", "abc");
    for (std::uint32_t maxId : {9u, 0x10000000u}) {
        const std::uint32_t limit = static_cast<std::uint32_t>(part.size()) + (1u << 20);
        ASSERT_EQ(Load(BinBuilder().Header(0, maxId, 1).U32(9).U32(limit).Raw(part).Get()), kSOk);
        std::uint8_t const *data = table.Record(9).data;
        EXPECT_EQ(
            std::make_tuple(table.RecordSize(9), Bytes(data, data + part.size()), data[limit - 1]),
            std::make_tuple(limit, part, std::uint8_t(0)));
        EXPECT_EQ(Load(BinBuilder().Header(0, maxId, 1).U32(9).U32(limit + 1).Raw(part).Get()),
                  kEFail);
        EXPECT_EQ(Load(BinBuilder().Header(1, maxId, 1).U32(9).U32(~0u).Get()), kEFail);
    }
}

TEST_F(BinMasterTest, FailuresLeaveNothingLoadedAndKeepThePath) {
    std::string good = Put("good.bin", kTwoItems);
    EXPECT_EQ(table.ReLoadRes(), kEFail); // no path stored yet
    ASSERT_EQ(table.LoadRes(good.c_str()), kSOk);
    EXPECT_EQ(table.ReLoadRes(), kEFail); // refused while loaded, table stays
    EXPECT_TRUE(table.IsLoaded());
    for (Bytes const &bad : {BinBuilder().Header(2, 0, 0).Get(),
                             BinBuilder().Header(0, 1, 1).EntryA(11, "X", "x").Get()}) {
        ASSERT_EQ(table.LoadRes(good.c_str()), kSOk);
        EXPECT_EQ(Load(bad), kEFail);
        EXPECT_EQ(
            std::make_tuple(table.IsLoaded(), table.Count(), Missing(1), std::string(table.Path())),
            std::make_tuple(false, 0u, true, good));
    }
    EXPECT_EQ(table.LoadRes(dir.File("missing.bin").c_str()), kEFail);
    EXPECT_STREQ(table.Path(), good.c_str());
    ASSERT_EQ(table.ReLoadRes(), kSOk);
    EXPECT_EQ(table.Count(), 2u);

    // Memory that cannot be had fails the load, whichever of its three allocations it is.
    for (int nth = 1; nth <= 4; ++nth) {
        platform::ArmFault(platform::Fault::Alloc, nth);
        EXPECT_EQ(table.LoadRes(good.c_str()), nth < 4 ? kEFail : kSOk) << nth;
        EXPECT_EQ(table.IsLoaded(), nth == 4);
        platform::DisarmAllFaults();
    }

    // A path too long to store whole is refused, not cut (a reload would read another file).
    std::filesystem::path deep = dir.Path();
    while (deep.string().size() < 560)
        deep /= std::string(60, 'd');
    std::filesystem::create_directories(deep);
    std::string path = (deep / "table.bin").string();
    WriteFile(path, kTwoItems);
    EXPECT_EQ(table.LoadRes(path.c_str()), kEFail);
    EXPECT_EQ(std::make_pair(table.IsLoaded(), std::string(table.Path())),
              std::make_pair(true, good));
}

} // namespace
} // namespace ril::test
