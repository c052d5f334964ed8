// Loading BINs into the resource table: the format's worked example, malformed files and
// the table's state after every kind of failure.
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_master.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace ril::test {
namespace {

const std::string kHolder = "Holder=ann    Editor=VeruDodUzarer    StartTime=2011-3-9 14:5'7\"";

Bytes WorkedExample() {
    return BinBuilder()
        .Header(1, 5, 2)
        .EntryA(1, "HELLO", "Hi")
        .EntryA(5, "BYE", "OK")
        .Trailer(kHolder)
        .Get();
}

Bytes RecordBytes(const RecordRef &record) {
    return Bytes(record.data, record.data + record.size);
}

class BinMasterTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::DisarmAllFaults(); }
    std::string Put(const std::string &name, const Bytes &bytes) {
        std::string path = dir.File(name);
        WriteFile(path, bytes);
        return path;
    }
    TempDir dir;
    CBinMaster table;
};

TEST_F(BinMasterTest, WorkedExampleLoadsEveryField) {
    Bytes file = WorkedExample();
    ASSERT_EQ(file.size(), 115u);
    std::string path = Put("example.bin", file);
    ASSERT_EQ(table.LoadRes(path.c_str()), kSOk);
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(table.MaxId(), 5u);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.Capacity(), 15u);
    EXPECT_STREQ(table.Path(), path.c_str());
    ASSERT_NE(table.HolderText(), nullptr);
    EXPECT_EQ(std::string(table.HolderText()), kHolder);
    EXPECT_EQ(RecordBytes(table.Record(1)), Bytes(file.begin() + 20, file.begin() + 31));
    EXPECT_EQ(RecordBytes(table.Record(5)), Bytes(file.begin() + 39, file.begin() + 48));
    EXPECT_EQ(table.RecordSize(1), 11u);
    EXPECT_EQ(table.RecordSize(5), 9u);
    for (std::uint32_t id : {0u, 2u, 4u, 6u, 14u, 15u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(table.Record(id)) << id;
        EXPECT_EQ(table.RecordSize(id), 0u) << id;
    }
}

TEST_F(BinMasterTest, DegenerateFilesThatLoad) {
    // A zero-byte file: the preset flag 1 leads to a trailer read that finds nothing.
    ASSERT_EQ(table.LoadRes(Put("empty.bin", {}).c_str()), kSOk);
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.Capacity(), 0u);
    ASSERT_NE(table.HolderText(), nullptr);
    EXPECT_STREQ(table.HolderText(), "");

    // Holder flag 0, max ID 7, no entries: a table without slots and without holder text.
    ASSERT_EQ(table.LoadRes(Put("flag0.bin", BinBuilder().Header(0, 7, 0).Get()).c_str()), kSOk);
    EXPECT_EQ(table.Capacity(), 0u);
    EXPECT_EQ(table.HolderText(), nullptr);
    EXPECT_FALSE(table.Record(7));

    // An empty table as the writers produce it: header and trailer.
    ASSERT_EQ(
        table.LoadRes(Put("none.bin", BinBuilder().Header(1, 0, 0).Trailer("x").Get()).c_str()),
        kSOk);
    EXPECT_STREQ(table.HolderText(), "x");

    // Flag 0 with a trailer behind the entries still has no holder marker.
    Bytes flag0Trailer = BinBuilder().Header(0, 1, 1).EntryA(1, "A", "a").Trailer("who").Get();
    ASSERT_EQ(table.LoadRes(Put("flag0t.bin", flag0Trailer).c_str()), kSOk);
    EXPECT_EQ(table.HolderText(), nullptr);
}

TEST_F(BinMasterTest, EntriesSkippedReplacedAndBounded) {
    Bytes file = BinBuilder()
                     .Header(0, 3, 5)
                     .EntryA(1, "ONE", "first")
                     .Entry(2, {}) // size 0: skipped, the rest is still read
                     .EntryA(3, "THREE", "3")
                     .EntryA(1, "ONE", "second") // a repeated ID replaces the record
                     .Entry(3, {})               // a repeated ID of size 0 changes nothing
                     .Get();
    ASSERT_EQ(table.LoadRes(Put("mixed.bin", file).c_str()), kSOk);
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(RecordBytes(table.Record(1)), RecordA("ONE", "second"));
    EXPECT_FALSE(table.Record(2));
    EXPECT_EQ(table.RecordSize(2), 0u);
    EXPECT_EQ(RecordBytes(table.Record(3)), RecordA("THREE", "3"));

    // IDs are bounded by max ID + 10, not by max ID.
    ASSERT_EQ(table.LoadRes(
                  Put("edge.bin", BinBuilder().Header(0, 5, 1).EntryA(14, "E", "e").Get()).c_str()),
              kSOk);
    EXPECT_TRUE(table.Record(14));
    EXPECT_EQ(table.LoadRes(
                  Put("over.bin", BinBuilder().Header(0, 5, 1).EntryA(15, "E", "e").Get()).c_str()),
              kEFail);
    EXPECT_FALSE(table.IsLoaded());
}

TEST_F(BinMasterTest, TruncatedFiles) {
    // A record cut short by the end of the file keeps zeros where its bytes are missing.
    Bytes cut = BinBuilder()
                    .Header(0, 1, 1)
                    .U32(1)
                    .U32(10)
                    .Raw(std::string("\x02\x00"
                                     "AB",
                                     4))
                    .Get();
    ASSERT_EQ(table.LoadRes(Put("cut.bin", cut).c_str()), kSOk);
    Bytes expected = {0x02, 0x00, 'A', 'B', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(RecordBytes(table.Record(1)), expected);

    // The count declares more entries than the file holds: the missing ID fails the load.
    Bytes shortCount = BinBuilder().Header(0, 1, 2).EntryA(1, "A", "a").Get();
    EXPECT_EQ(table.LoadRes(Put("short.bin", shortCount).c_str()), kEFail);
    // An ID cut in half is a missing ID as well.
    Bytes halfId = BinBuilder().Header(0, 1, 1).U16(1).Get();
    EXPECT_EQ(table.LoadRes(Put("half.bin", halfId).c_str()), kEFail);
    // A header cut inside the count: the count stays 0 and the file loads empty.
    ASSERT_EQ(table.LoadRes(Put("hdr.bin", BinBuilder().U32(0).U32(3).U16(9).Get()).c_str()), kSOk);
    EXPECT_EQ(table.Count(), 0u);
    // A record declared far beyond the end of the file is zero-filled, not over-read.
    Bytes huge = BinBuilder().Header(0, 1, 1).U32(1).U32(1u << 20).Raw(RecordA("BIG", "x")).Get();
    ASSERT_EQ(table.LoadRes(Put("huge.bin", huge).c_str()), kSOk);
    EXPECT_EQ(table.RecordSize(1), 1u << 20);
    EXPECT_EQ(table.Record(1).data[(1u << 20) - 1], 0);
}

TEST_F(BinMasterTest, IdsNearTheTopOfTheRange) {
    // max ID + 10 wraps to 1: only ID 0 fits.
    Bytes wrapOk = BinBuilder().Header(0, 0xFFFFFFF7u, 1).EntryA(0, "Z", "z").Get();
    ASSERT_EQ(table.LoadRes(Put("wrap.bin", wrapOk).c_str()), kSOk);
    EXPECT_EQ(table.Capacity(), 1u);
    EXPECT_TRUE(table.Record(0));
    EXPECT_FALSE(table.Record(0xFFFFFFF7u));
    Bytes wrapBad = BinBuilder().Header(0, 0xFFFFFFF7u, 1).EntryA(0xFFFFFFF0u, "Z", "z").Get();
    EXPECT_EQ(table.LoadRes(Put("wrapbad.bin", wrapBad).c_str()), kEFail);
    // max ID + 10 wraps to 0: no slot exists for any entry.
    Bytes zero = BinBuilder().Header(0, 0xFFFFFFF6u, 1).EntryA(0, "Z", "z").Get();
    EXPECT_EQ(table.LoadRes(Put("zero.bin", zero).c_str()), kEFail);
    EXPECT_FALSE(table.IsLoaded());
}

TEST_F(BinMasterTest, MemoryIsBoundedByTheFile) {
    // Consecutive IDs and small files keep one slot per ID up to the capacity.
    ASSERT_EQ(table.LoadRes(Put("example.bin", WorkedExample()).c_str()), kSOk);
    EXPECT_EQ(table.SlotCount(), 15u);
    BinBuilder many;
    many.Header(1, 20000, 20000);
    for (std::uint32_t id = 1; id <= 20000; ++id)
        many.EntryA(id, "M", "t");
    ASSERT_EQ(table.LoadRes(Put("many.bin", many.Get()).c_str()), kSOk);
    EXPECT_EQ(table.SlotCount(), 20010u);

    // A max ID far beyond what the file's entries could fill: one slot per stored ID, in
    // any entry order, size-0 entries skipped, the last entry of an ID winning, and IDs
    // still bounded by max ID + 10.
    Bytes sparse = BinBuilder()
                       .Header(0, 0xFFFFFFF0u, 6)
                       .EntryA(0xFFFFFFF9u, "TOP", "top")
                       .EntryA(7, "SEVEN", "first")
                       .Entry(3, {})
                       .EntryA(0, "ZERO", "z")
                       .EntryA(7, "SEVEN", "second")
                       .Entry(7, {})
                       .Get();
    ASSERT_EQ(table.LoadRes(Put("sparse.bin", sparse).c_str()), kSOk);
    EXPECT_EQ(table.Capacity(), 0xFFFFFFFAu);
    EXPECT_EQ(table.SlotCount(), 3u);
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(RecordBytes(table.Record(0)), RecordA("ZERO", "z"));
    EXPECT_EQ(RecordBytes(table.Record(7)), RecordA("SEVEN", "second"));
    EXPECT_EQ(table.RecordSize(0xFFFFFFF9u), RecordA("TOP", "top").size());
    EXPECT_STREQ(reinterpret_cast<char *>(table.NarrowText(0xFFFFFFF9u)), "top");
    for (std::uint32_t id : {1u, 3u, 6u, 8u, 0xFFFFFFF0u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(table.Record(id)) << id;
        EXPECT_EQ(table.RecordSize(id), 0u) << id;
        EXPECT_EQ(table.NarrowText(id), nullptr) << id;
    }
    Bytes sparseBeyond = BinBuilder().Header(0, 0x7FFFFFFFu, 1).EntryA(0x80000008u, "X", "x").Get();
    ASSERT_EQ(table.LoadRes(Put("sparse_edge.bin", sparseBeyond).c_str()), kSOk);
    EXPECT_TRUE(table.Record(0x80000008u));
    sparseBeyond = BinBuilder().Header(0, 0x7FFFFFFFu, 1).EntryA(0x80000009u, "X", "x").Get();
    EXPECT_EQ(table.LoadRes(Put("sparse_over.bin", sparseBeyond).c_str()), kEFail);
    // Only size-0 entries: a table with no slots at all.
    ASSERT_EQ(
        table.LoadRes(
            Put("sizes0.bin", BinBuilder().Header(0, 1u << 30, 1).Entry(5, {}).Get()).c_str()),
        kSOk);
    EXPECT_EQ(table.SlotCount(), 0u);
    EXPECT_FALSE(table.Record(5));

    // A record cut short by the end of the file is completed with at most 1 MiB of zeros,
    // in a dense or a sparse table; one that declares more fails the load.
    const Bytes part = RecordA("CUT", "abc");
    for (std::uint32_t maxId : {9u, 0x10000000u}) {
        std::uint32_t limit = static_cast<std::uint32_t>(part.size()) + (1u << 20);
        Bytes atLimit = BinBuilder().Header(0, maxId, 1).U32(9).U32(limit).Raw(part).Get();
        ASSERT_EQ(table.LoadRes(Put("at_limit.bin", atLimit).c_str()), kSOk) << maxId;
        EXPECT_EQ(table.RecordSize(9), limit);
        EXPECT_EQ(Bytes(table.Record(9).data, table.Record(9).data + part.size()), part);
        EXPECT_EQ(table.Record(9).data[limit - 1], 0);
        Bytes beyond = BinBuilder().Header(0, maxId, 1).U32(9).U32(limit + 1).Raw(part).Get();
        EXPECT_EQ(table.LoadRes(Put("beyond.bin", beyond).c_str()), kEFail) << maxId;
        EXPECT_EQ(
            table.LoadRes(
                Put("huge.bin", BinBuilder().Header(1, maxId, 1).U32(9).U32(~0u).Get()).c_str()),
            kEFail);
    }
}

TEST_F(BinMasterTest, FailuresLeaveNothingLoadedAndKeepThePath) {
    std::string good = Put("good.bin", WorkedExample());
    EXPECT_EQ(table.ReLoadRes(), kEFail); // no path stored yet
    ASSERT_EQ(table.LoadRes(good.c_str()), kSOk);
    EXPECT_EQ(table.ReLoadRes(), kEFail); // refused while loaded, table stays
    EXPECT_TRUE(table.IsLoaded());

    const std::pair<std::string, Bytes> bad[] = {
        {"flag2.bin", BinBuilder().Header(2, 0, 0).Get()},
        {"beyond.bin", BinBuilder().Header(0, 1, 1).EntryA(11, "X", "x").Get()},
    };
    for (const auto &[name, bytes] : bad) {
        ASSERT_EQ(table.LoadRes(good.c_str()), kSOk);
        EXPECT_EQ(table.LoadRes(Put(name, bytes).c_str()), kEFail) << name;
        EXPECT_FALSE(table.IsLoaded()) << name;
        EXPECT_EQ(table.Count(), 0u) << name;
        EXPECT_FALSE(table.Record(1)) << name;
        EXPECT_STREQ(table.Path(), good.c_str()) << name;
    }
    EXPECT_EQ(table.LoadRes(dir.File("missing.bin").c_str()), kEFail);
    EXPECT_STREQ(table.Path(), good.c_str());
    ASSERT_EQ(table.ReLoadRes(), kSOk);
    EXPECT_EQ(table.Count(), 2u);

    // Memory that cannot be had fails the load, whichever allocation it is.
    for (int nth = 1; nth <= 5; ++nth) {
        platform::ArmFault(platform::Fault::Alloc, nth);
        EXPECT_EQ(table.LoadRes(good.c_str()), kEFail) << nth;
        EXPECT_FALSE(table.IsLoaded());
        platform::DisarmAllFaults();
    }
    platform::ArmFault(platform::Fault::Alloc, 6);
    EXPECT_EQ(table.LoadRes(good.c_str()), kSOk);
}

// Cut, the stored path would name another file to reload: refused, nothing changes.
TEST_F(BinMasterTest, LongPathIsRefusedNotCut) {
    std::filesystem::path deep = dir.Path();
    while (deep.string().size() < 560)
        deep /= std::string(60, 'd');
    std::filesystem::create_directories(deep);
    std::string path = (deep / "table.bin").string();
    WriteFile(path, WorkedExample());
    const std::string good = dir.File("good.bin");
    WriteFile(good, WorkedExample());
    ASSERT_EQ(table.LoadRes(good.c_str()), kSOk);
    EXPECT_EQ(table.LoadRes(path.c_str()), kEFail);
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(std::string(table.Path()), good);
}

} // namespace
} // namespace ril::test
