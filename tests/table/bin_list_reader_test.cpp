// LoadBin: the items a BIN appends to the list, byte for byte, and every way a BIN fails.
#include "api/library_state.h"
#include "core/messages.h"
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_list_reader.h"

using namespace ril::core;
using namespace ril::items;
using namespace ril::table;
using namespace ril::api;

namespace ril::test {
namespace {

using Rows = std::vector<ItemRow>;

class BinListReaderTest : public LibraryTest {
  protected:
    // Reads `bin` into an empty list; checks the result and the notice; the items read.
    Rows Read(Bytes const &bin, int result, std::string const &notice = "") {
        list.List().clear();
        EXPECT_EQ(LoadBin(list, Put("in.bin", bin).c_str()), result);
        ExpectNotice(notice);
        return ItemRows(list);
    }
    std::u16string FirstMacroW() const { return list.List().front()->MacroW(); }
    CRilTxtLoader list;
};

TEST_F(BinListReaderTest, EntriesAreTakenAsTheyAre) {
    // Taken as they are: repeated IDs, a bad macro, a wide text, holder flag 0, an ID above
    // max ID (below max ID + 10) and bytes behind the last entry.
    // clang-format off
    EXPECT_EQ(Read(BinBuilder().Header(0, 2, 3).EntryA(2, "low case", "a").EntryW(2, "W", u"\u4E2D")
                       .EntryA(11, "UP", "").Raw("garbage").Get(), 1),
              (Rows{{2, "low case", RecordA("low case", "a")}, {2, "W", RecordW("W", u"\u4E2D")},
                    {11, "UP", RecordA("UP", "")}}));
    // clang-format on
}

TEST_F(BinListReaderTest, AFailingEntryKeepsTheItemsBeforeIt) {
    const Bytes present = RecordA("X", "x");
    const std::uint32_t beyond = static_cast<std::uint32_t>(present.size()) + (1u << 20) + 1;
    // The file, the result, the items read and the ID whose entry failed (0: no notice).
    const std::tuple<Bytes, int, std::size_t, std::uint32_t> rows[] = {
        // clang-format off
        // The count says 3, the file holds 2 entries: the third ID reads as 0xFFFFFFFF.
        {BinBuilder().Header(1, 5, 3).EntryA(1, "A", "a").EntryA(5, "B", "b").Get(), 0, 2, ~0u},
        {BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").U32(4).U32(0).Get(), 0, 1, 4},
        {BinBuilder().Header(1, 10, 2).EntryA(19, "A", "").EntryA(20, "B", "").Get(), 0, 1, 20}, // max ID + 10
        // A missing part above 1 MiB fails the entry.
        {BinBuilder().Header(1, 3, 2).EntryA(1, "A", "a").U32(3).U32(beyond).Raw(present).Get(), 0, 1, 3},
        // Files that read as empty.
        {BinBuilder().Header(2, 5, 1).EntryA(1, "A", "a").Get(), 1, 0, 0},
        {BinBuilder().Header(1, 5, 0).EntryA(1, "A", "a").Trailer("h").Get(), 1, 0, 0},
        {{}, 1, 0, 0},
        {BinBuilder().U32(1).U16(7).Get(), 1, 0, 0},
        // clang-format on
    };
    for (auto const &[file, result, items, failedId] : rows)
        EXPECT_EQ(
            Read(file, result, failedId == 0 ? "" : Printf(msg::kReadEntryFailed, failedId)).size(),
            items);
    // The second item cannot be made (the file image is the first allocation, then each item;
    // a short macro lives in its item).
    platform::ArmFault(platform::Fault::Alloc, 3);
    EXPECT_EQ(Read(BinBuilder().Header(1, 9, 2).EntryA(3, "A", "a").EntryA(9, "B", "b").Get(), 0,
                   Printf(msg::kReadEntryFailed, 9)),
              (Rows{{3, "A", RecordA("A", "a")}}));
}

TEST_F(BinListReaderTest, FilesThatCannotBeOpenedAndTheLoadedTablesFile) {
    for (std::string const &path : {dir.File("missing.bin"), dir.Path().string()}) {
        EXPECT_EQ(LoadBin(list, path.c_str()), 0); // a folder is no BIN either
        ExpectNotice(Printf(msg::kCannotOpen, path.c_str()));
    }
    // No path: the loaded table's file is read again from disk, not from memory.
    std::string loaded =
        Put("table.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Get());
    ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    WriteFile(loaded, BinBuilder().Header(1, 2, 1).EntryA(2, "NEW", "new").Get());
    ASSERT_EQ(LoadToolSource(list, ResolveBinTarget(nullptr, BinUse::Read)), kSOk);
    EXPECT_EQ(ItemRows(list), (Rows{{2, "NEW", RecordA("NEW", "new")}}));
    std::filesystem::remove(loaded);
    EXPECT_EQ(LoadToolSource(list, ResolveBinTarget(nullptr, BinUse::Read)), kErrBinRead);
    ExpectNotice(Printf(msg::kCannotOpen, loaded.c_str()));
}

TEST_F(BinListReaderTest, LongMacrosAndRecordsCutShort) {
    // M above 128: the entry is kept whole, its Macro cut to 127 bytes.
    const Bytes longRecord = RecordA(std::string(199, 'M'), "text");
    EXPECT_EQ(Read(BinBuilder().Header(1, 1, 1).Entry(1, longRecord).Get(), 1),
              (Rows{{1, std::string(127, 'M'), longRecord}}));
    EXPECT_EQ(FirstMacroW(), std::u16string(127, u'M'));
    // M beyond the record: the macro is what the record holds.
    EXPECT_EQ(Read(BinBuilder().Header(1, 1, 1).Entry(1, {0x50, 0, 'A', 'B', 'C'}).Get(), 1),
              (Rows{{1, "ABC", {0x50, 0, 'A', 'B', 'C'}}}));
    EXPECT_EQ(FirstMacroW(), u"ABC");
    // A record cut short by the end of the file: the missing part is zero bytes.
    Bytes part = RecordA("CUT", "abcdef");
    const Bytes cut = BinBuilder().Header(1, 3, 1).U32(3).U32(40).Raw(part).Get();
    part.resize(40, 0);
    EXPECT_EQ(Read(cut, 1), (Rows{{3, "CUT", part}}));
    // A large missing part comes zeroed from the system; the list frees it.
    Read(BinBuilder().Header(1, 3, 1).U32(3).U32(1u << 20).Raw(RecordA("BIG", "x")).Get(), 1);
    RilStrRes const &big = *list.List().front();
    EXPECT_EQ(std::make_tuple(big.RecordSize, big.Record[6], big.Record[(1u << 20) - 1]),
              std::make_tuple(1u << 20, std::uint8_t('x'), std::uint8_t(0)));
}

} // namespace
} // namespace ril::test
