// LoadBin: the items a BIN appends to the list, byte for byte, and every way
// a BIN fails to read.
#include "api/library_state.h"
#include "core/messages.h"
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_list_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace ril::test {
namespace {

const std::string kHolder = "Holder=ann    Editor=VeruDodUzarer    StartTime=2011-3-9 14:5'7\"";

std::string Message(const char *format, std::uint32_t id, const std::string &path = "") {
    char line[1024];
    if (path.empty())
        std::snprintf(line, sizeof line, format, id);
    else
        std::snprintf(line, sizeof line, format, path.c_str());
    return line;
}

class BinListReaderTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override {
        platform::DisarmAllFaults();
        Ril_UnloadRes();
    }
    // Reads `bin` into a fresh list and checks the result, the items kept and the one
    // "Error:" notice (none for an empty `notice`).
    void Read(const Bytes &bin, int result, std::size_t items, const std::string &notice = "") {
        WriteFile(path, bin);
        list = std::make_unique<CRilTxtLoader>();
        EXPECT_EQ(LoadBin(*list, path.c_str()), result);
        EXPECT_EQ(list->Count(), items);
        ExpectNotice(notice);
    }
    void ExpectNotice(const std::string &notice) {
        ASSERT_EQ(notices.Notices().size(), notice.empty() ? 0u : 1u);
        if (!notice.empty()) {
            EXPECT_EQ(notices.Notices()[0].caption, "Error:");
            EXPECT_EQ(notices.Notices()[0].message, notice)
                << Utf8FromGbk(notices.Notices()[0].message);
        }
        notices.Clear();
    }
    const RilStrRes &At(std::size_t index) const {
        return **std::next(list->List().begin(), static_cast<long>(index));
    }
    Bytes RecordAt(std::size_t index) const {
        return Bytes(At(index).Record.get(), At(index).Record.get() + At(index).RecordSize);
    }

    TempDir dir;
    std::string path = dir.File("in.bin");
    NoticeCapture notices;
    std::unique_ptr<CRilTxtLoader> list = std::make_unique<CRilTxtLoader>();
};

TEST_F(BinListReaderTest, WorkedExampleAppendsBehindTheItemsAlreadyListed) {
    Bytes bin = BinBuilder()
                    .Header(1, 5, 2)
                    .EntryA(1, "HELLO", "Hi")
                    .EntryA(5, "BYE", "OK")
                    .Trailer(kHolder)
                    .Get();
    ASSERT_EQ(bin.size(), 115u);
    WriteFile(path, bin);
    list->Append(std::make_unique<RilStrRes>());
    ASSERT_EQ(LoadBin(*list, path.c_str()), 1);
    ASSERT_EQ(list->Count(), 3u);
    EXPECT_EQ(At(1).ID, 1u);
    EXPECT_STREQ(At(1).Macro, "HELLO");
    EXPECT_EQ(Wide(At(1).MacroW), u"HELLO");
    EXPECT_EQ(RecordAt(1), Bytes(bin.begin() + 20, bin.begin() + 31));
    EXPECT_EQ(At(2).ID, 5u);
    EXPECT_STREQ(At(2).Macro, "BYE");
    EXPECT_EQ(RecordAt(2), Bytes(bin.begin() + 39, bin.begin() + 48));
    ExpectNotice("");

    // Taken as they are: repeated IDs, a bad macro, a wide text, holder flag 0, an ID above
    // max ID (below max ID + 10) and bytes behind the last entry.
    Read(BinBuilder()
             .Header(0, 2, 3)
             .EntryA(2, "low case", "a")
             .EntryW(2, "W", u"\u4E2D")
             .EntryA(11, "UP", "")
             .Raw("garbage")
             .Get(),
         1, 3);
    EXPECT_STREQ(At(0).Macro, "low case");
    EXPECT_EQ(RecordAt(1), RecordW("W", u"\u4E2D"));
    EXPECT_EQ(At(2).ID, 11u);
}

TEST_F(BinListReaderTest, AFailingEntryKeepsTheItemsBeforeIt) {
    // The count says 3, the file holds 2 entries: the third ID reads as 0xFFFFFFFF.
    Read(BinBuilder().Header(1, 5, 3).EntryA(1, "A", "a").EntryA(5, "B", "b").Get(), 0, 2,
         Message(msg::kReadEntryFailed, 0xFFFFFFFFu));
    Read(BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").U32(4).U32(0).Get(), 0, 1,
         Message(msg::kReadEntryFailed, 4));
    // The bound is max ID + 10, in 32-bit arithmetic.
    Read(BinBuilder().Header(1, 10, 2).EntryA(19, "A", "").EntryA(20, "B", "").Get(), 0, 1,
         Message(msg::kReadEntryFailed, 20));
    Read(BinBuilder().Header(1, 0xFFFFFFF8u, 2).EntryA(1, "A", "").EntryA(2, "B", "").Get(), 0, 1,
         Message(msg::kReadEntryFailed, 2));
    // The record cannot be stored in the item (the file image is the first allocation).
    platform::ArmFault(platform::Fault::Alloc, 3);
    Read(BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").EntryA(9, "B", "b").Get(), 0, 1,
         Message(msg::kReadEntryFailed, 9));
}

TEST_F(BinListReaderTest, FilesThatCannotBeOpenedAndTheLoadedTablesFile) {
    std::string missing = dir.File("missing.bin");
    EXPECT_EQ(LoadBin(*list, missing.c_str()), 0);
    ExpectNotice(Message(msg::kCannotOpen, 0, missing));
    EXPECT_EQ(LoadBin(*list, dir.Path().string().c_str()), 0); // a folder is no BIN
    ExpectNotice(Message(msg::kCannotOpen, 0, dir.Path().string()));

    // No path: the loaded table's file is read again from disk, not from memory.
    std::string loaded = dir.File("table.bin");
    WriteFile(loaded, BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Get());
    ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    WriteFile(loaded, BinBuilder().Header(1, 2, 1).EntryA(2, "NEW", "new").Get());
    ASSERT_EQ(LoadToolSource(*list, ResolveBinTarget(nullptr, BinUse::Read)), kSOk);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_STREQ(At(0).Macro, "NEW");
    std::filesystem::remove(loaded);
    EXPECT_EQ(LoadToolSource(*list, ResolveBinTarget(nullptr, BinUse::Read)), kErrBinRead);
    ExpectNotice(Message(msg::kCannotOpen, 0, loaded));
}

TEST_F(BinListReaderTest, FilesThatReadAsEmpty) {
    Read(BinBuilder().Header(2, 5, 1).EntryA(1, "A", "a").Get(), 1, 0);
    Read(BinBuilder().Header(0xFFFFFFFFu, 0, 0).Get(), 1, 0);
    Read(BinBuilder().Header(1, 5, 0).EntryA(1, "A", "a").Trailer("h").Get(), 1, 0);
    Read(Bytes{}, 1, 0);
    Read(BinBuilder().U32(1).U16(7).Get(), 1, 0);
}

TEST_F(BinListReaderTest, LongMacrosAndRecordsCutShort) {
    // M above 128: the entry is kept whole, its Macro cut to 127 bytes.
    Bytes longRecord = RecordA(std::string(199, 'M'), "text");
    Read(BinBuilder().Header(1, 1, 1).Entry(1, longRecord).Get(), 1, 1);
    EXPECT_EQ(std::string(At(0).Macro), std::string(127, 'M'));
    EXPECT_EQ(Wide(At(0).MacroW), std::u16string(127, u'M'));
    EXPECT_EQ(RecordAt(0), longRecord);
    // M beyond the record: the macro is what the record holds.
    Read(BinBuilder().Header(1, 1, 1).Entry(1, {0x50, 0, 'A', 'B', 'C'}).Get(), 1, 1);
    EXPECT_STREQ(At(0).Macro, "ABC");
    // A record cut short by the end of the file: the missing part is zero bytes.
    Bytes part = RecordA("CUT", "abcdef");
    Read(BinBuilder().Header(1, 3, 1).U32(3).U32(40).Raw(part).Get(), 1, 1);
    part.resize(40, 0);
    EXPECT_EQ(RecordAt(0), part);
    EXPECT_STREQ(At(0).Macro, "CUT");
    // A large missing part comes zeroed from the system; the list frees it.
    Read(BinBuilder().Header(1, 3, 1).U32(3).U32(1u << 20).Raw(RecordA("BIG", "x")).Get(), 1, 1);
    EXPECT_EQ(At(0).RecordSize, 1u << 20);
    EXPECT_EQ(At(0).Record[6], 'x');
    EXPECT_EQ(At(0).Record[(1u << 20) - 1], 0);
    EXPECT_STREQ(At(0).Macro, "BIG");
    // A missing part above 1 MiB fails the entry; the items before it stay.
    const Bytes present = RecordA("X", "x");
    const std::uint32_t beyond = static_cast<std::uint32_t>(present.size()) + (1u << 20) + 1;
    for (std::uint32_t size : {beyond, 0xFFFFFFFFu})
        Read(BinBuilder().Header(1, 3, 2).EntryA(1, "A", "a").U32(3).U32(size).Raw(present).Get(),
             0, 1, Message(msg::kReadEntryFailed, 3));
}

} // namespace
} // namespace ril::test
