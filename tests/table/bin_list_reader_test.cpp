// LoadBin: the items a BIN appends to the list, byte for byte, and every way
// a BIN fails to read.
#include "api/library_state.h"
#include "core/messages.h"
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_list_reader.h"

#include <filesystem>

namespace ril::test {
namespace {

class BinListReaderTest : public LibraryTest {
  protected:
    // Reads `bin` into a fresh list and checks the result, the items kept and the notice.
    void Read(const Bytes &bin, int result, std::size_t items, const std::string &notice = "") {
        list = std::make_unique<CRilTxtLoader>();
        EXPECT_EQ(LoadBin(*list, Put("in.bin", bin).c_str()), result);
        EXPECT_EQ(list->Count(), items);
        ExpectNotice(notice);
    }
    const RilStrRes &At(std::size_t index) const {
        return **std::next(list->List().begin(), static_cast<long>(index));
    }
    Bytes RecordAt(std::size_t index) const {
        return Bytes(At(index).Record.get(), At(index).Record.get() + At(index).RecordSize);
    }
    std::unique_ptr<CRilTxtLoader> list = std::make_unique<CRilTxtLoader>();
};

TEST_F(BinListReaderTest, WorkedExampleAppendsBehindTheItemsAlreadyListed) {
    Bytes bin = BinBuilder().Header(1, 5, 2).EntryA(1, "HELLO", "Hi").EntryA(5, "BYE", "OK").Get();
    list->Append(std::make_unique<RilStrRes>());
    ASSERT_EQ(LoadBin(*list, Put("in.bin", bin).c_str()), 1);
    ASSERT_EQ(list->Count(), 3u);
    EXPECT_EQ(std::make_tuple(At(1).ID, std::string(At(1).Macro), Wide(At(1).MacroW), RecordAt(1),
                              At(2).ID, RecordAt(2)),
              std::make_tuple(1u, std::string("HELLO"), std::u16string(u"HELLO"),
                              Bytes(bin.begin() + 20, bin.begin() + 31), 5u,
                              Bytes(bin.begin() + 39, bin.end())));
    ExpectNotice("");
    // Taken as they are: repeated IDs, a bad macro, a wide text, holder flag 0, an ID above
    // max ID (below max ID + 10) and bytes behind the last entry.
    // clang-format off
    Read(BinBuilder().Header(0, 2, 3).EntryA(2, "low case", "a").EntryW(2, "W", u"\u4E2D")
             .EntryA(11, "UP", "").Raw("garbage").Get(), 1, 3);
    // clang-format on
    EXPECT_EQ(std::make_tuple(std::string(At(0).Macro), RecordAt(1), At(2).ID),
              std::make_tuple(std::string("low case"), RecordW("W", u"\u4E2D"), 11u));
}

TEST_F(BinListReaderTest, AFailingEntryKeepsTheItemsBeforeIt) {
    const Bytes present = RecordA("X", "x");
    const std::uint32_t beyond = static_cast<std::uint32_t>(present.size()) + (1u << 20) + 1;
    struct Row {
        Bytes file;
        int result;
        std::size_t items;
        std::uint32_t failedId; // 0: no notice
    } rows[] = {
        // clang-format off
        // The count says 3, the file holds 2 entries: the third ID reads as 0xFFFFFFFF.
        {BinBuilder().Header(1, 5, 3).EntryA(1, "A", "a").EntryA(5, "B", "b").Get(), 0, 2, ~0u},
        {BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").U32(4).U32(0).Get(), 0, 1, 4},
        // The bound is max ID + 10, in 32-bit arithmetic.
        {BinBuilder().Header(1, 10, 2).EntryA(19, "A", "").EntryA(20, "B", "").Get(), 0, 1, 20},
        {BinBuilder().Header(1, ~7u, 2).EntryA(1, "A", "").EntryA(2, "B", "").Get(), 0, 1, 2},
        // A missing part above 1 MiB fails the entry.
        {BinBuilder().Header(1, 3, 2).EntryA(1, "A", "a").U32(3).U32(beyond).Raw(present).Get(), 0, 1, 3},
        // Files that read as empty.
        {BinBuilder().Header(2, 5, 1).EntryA(1, "A", "a").Get(), 1, 0, 0},
        {BinBuilder().Header(1, 5, 0).EntryA(1, "A", "a").Trailer("h").Get(), 1, 0, 0},
        {{}, 1, 0, 0},
        {BinBuilder().U32(1).U16(7).Get(), 1, 0, 0},
        // clang-format on
    };
    for (const Row &row : rows)
        Read(row.file, row.result, row.items,
             row.failedId == 0 ? "" : Printf(msg::kReadEntryFailed, row.failedId));
    // The record cannot be stored in the item (the file image is the first allocation).
    platform::ArmFault(platform::Fault::Alloc, 3);
    Read(BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").EntryA(9, "B", "b").Get(), 0, 1,
         Printf(msg::kReadEntryFailed, 9));
}

TEST_F(BinListReaderTest, FilesThatCannotBeOpenedAndTheLoadedTablesFile) {
    std::string missing = dir.File("missing.bin");
    EXPECT_EQ(LoadBin(*list, missing.c_str()), 0);
    ExpectNotice(Printf(msg::kCannotOpen, missing.c_str()));
    EXPECT_EQ(LoadBin(*list, dir.Path().string().c_str()), 0); // a folder is no BIN
    ExpectNotice(Printf(msg::kCannotOpen, dir.Path().string().c_str()));

    // No path: the loaded table's file is read again from disk, not from memory.
    std::string loaded =
        Put("table.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Get());
    ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    WriteFile(loaded, BinBuilder().Header(1, 2, 1).EntryA(2, "NEW", "new").Get());
    ASSERT_EQ(LoadToolSource(*list, ResolveBinTarget(nullptr, BinUse::Read)), kSOk);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_STREQ(At(0).Macro, "NEW");
    std::filesystem::remove(loaded);
    EXPECT_EQ(LoadToolSource(*list, ResolveBinTarget(nullptr, BinUse::Read)), kErrBinRead);
    ExpectNotice(Printf(msg::kCannotOpen, loaded.c_str()));
}

TEST_F(BinListReaderTest, LongMacrosAndRecordsCutShort) {
    // M above 128: the entry is kept whole, its Macro cut to 127 bytes.
    Bytes longRecord = RecordA(std::string(199, 'M'), "text");
    Read(BinBuilder().Header(1, 1, 1).Entry(1, longRecord).Get(), 1, 1);
    EXPECT_EQ(std::make_tuple(std::string(At(0).Macro), Wide(At(0).MacroW), RecordAt(0)),
              std::make_tuple(std::string(127, 'M'), std::u16string(127, u'M'), longRecord));
    // M beyond the record: the macro is what the record holds.
    Read(BinBuilder().Header(1, 1, 1).Entry(1, {0x50, 0, 'A', 'B', 'C'}).Get(), 1, 1);
    EXPECT_STREQ(At(0).Macro, "ABC");
    // A record cut short by the end of the file: the missing part is zero bytes.
    Bytes part = RecordA("CUT", "abcdef");
    Read(BinBuilder().Header(1, 3, 1).U32(3).U32(40).Raw(part).Get(), 1, 1);
    part.resize(40, 0);
    EXPECT_EQ(RecordAt(0), part);
    // A large missing part comes zeroed from the system; the list frees it.
    Read(BinBuilder().Header(1, 3, 1).U32(3).U32(1u << 20).Raw(RecordA("BIG", "x")).Get(), 1, 1);
    EXPECT_EQ(std::make_tuple(At(0).RecordSize, At(0).Record[6], At(0).Record[(1u << 20) - 1]),
              std::make_tuple(1u << 20, std::uint8_t('x'), std::uint8_t(0)));
}

} // namespace
} // namespace ril::test
