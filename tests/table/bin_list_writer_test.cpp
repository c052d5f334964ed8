// Writing BINs: an item list (the layout, refusals) and the loaded table
// (Ril_ExportResToBinFile: ascending, unloaded after a save, refusals keep everything).
#include "api/library_state.h"
#include "core/messages.h"
#include "items/ril_txt_loader.h"
#include "platform/fault.h"
#include "support/test_support.h"
#include "table/bin_list_writer.h"

using namespace ril::core;
using namespace ril::items;
using namespace ril::table;
using namespace ril::api;

namespace ril::test {
namespace {

class BinListWriterTest : public LibraryTest {
  protected:
    // Writes `items` as the import does, to `binPath` or the loaded table's file.
    int Save(CRilTxtLoader const &items, char const *binPath, char const *logPath) {
        return SaveBin(items, ResolveBinTarget(binPath, BinUse::Write), logPath);
    }
    TempDir logs;
    std::string log = logs.File("writer.log");
    CRilTxtLoader list;
};

TEST_F(BinListWriterTest, WritesEntriesInListOrderWithAHolderMarker) {
    for (auto [id, macro, text] : {std::tuple{5u, "BYE", "OK"},
                                   {1u, "HELLO", "Hi"},
                                   {0x80000000u, "BIG", "x"},
                                   {3u, "NONE", nullptr}})
        AddItem(list, id, macro, text);
    const std::string bin = dir.File("out.bin");
    ASSERT_EQ(Save(list, bin.c_str(), log.c_str()), 1);
    // clang-format off
    EXPECT_EQ(SavedBody(bin), BinBuilder().Header(1, 0x80000000u, 3).EntryA(5, "BYE", "OK")
            .EntryA(1, "HELLO", "Hi").EntryA(0x80000000u, "BIG", "x").Get());
    // clang-format on
    EXPECT_EQ(ReadText(log), "");
    EXPECT_EQ(FilesInDir(), 1u); // no temporary file left behind
}

TEST_F(BinListWriterTest, RefusalsAndFailuresKeepEverything) {
    AddItem(list, 1, "A", "a");
    EXPECT_EQ(Save(list, "", log.c_str()), 0); // refused without a message
    EXPECT_EQ(ReadText(log), "");
    ASSERT_EQ(Save(list, nullptr, log.c_str()), 0); // no path and no table
    EXPECT_EQ(ReadText(log), std::string(msg::kNoBinNoTable) + "\r\n");
}

class TableSaverTest : public LibraryTest {
  protected:
    void Load(Bytes const &bin) { ASSERT_EQ(Ril_LoadRes(Put("loaded.bin", bin).c_str()), 0); }
    std::string loaded = dir.File("loaded.bin");
    std::string saved = dir.File("saved.bin");
};

TEST_F(TableSaverTest, SavesAscendingWithAFreshHolderAndUnloads) {
    // Holder flag 0, entries out of order, a declared max ID above the largest ID, a size-0
    // entry, a repeated ID (the later record wins) and entries at and above 0x2FFFF.
    // clang-format off
    Load(BinBuilder().Header(0, 196610, 7).EntryA(5, "BYE", "OK").EntryA(196607, "TOO_HIGH", "x")
            .EntryA(1, "HELLO", "Hi").Entry(3, {}).EntryA(196606, "LAST", "y")
            .EntryA(5, "BYE", "OK!").EntryA(196609, "HIGHER", "z").Get());
    // clang-format on
    Ril_WriteHeaderFile(nullptr, 0, nullptr); // the last error is now -102
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), kErrArgument); // not written by the save
    // clang-format off
    EXPECT_EQ(SavedBody(saved), BinBuilder().Header(1, 196606, 3).EntryA(1, "HELLO", "Hi")
            .EntryA(5, "BYE", "OK!").EntryA(196606, "LAST", "y").Get());
    // clang-format on
    // Unloaded, and no temporary file left behind.
    EXPECT_EQ(std::make_tuple(Ril_GetNumItem(), Ril_GetData(1) == nullptr,
                              std::string(Ril_GetStringA(1)), FilesInDir()),
              std::make_tuple(RIL_ULONG(0), true, std::string(" "), std::size_t(2)));
    // The path is kept: a reload reads the file last loaded, not the file just written.
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_EQ(std::make_pair(Ril_GetNumItem(), std::string(Ril_GetStringA(196607))),
              std::make_pair(RIL_ULONG(7), std::string("x")));

    // A max ID far beyond the entries: the save writes the entries present, nothing more.
    // clang-format off
    Load(BinBuilder().Header(0, 0xFFFFFFF0u, 2).EntryA(0xFFFFFFF9u, "T", "t").EntryA(9, "N", "n")
            .Get());
    // clang-format on
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(SavedBody(saved), BinBuilder().Header(1, 9, 1).EntryA(9, "N", "n").Get());
}

TEST_F(TableSaverTest, FailuresKeepTheFileAndTheTable) {
    const Bytes previous = {'o', 'l', 'd'};
    WriteFile(saved, previous);
    EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEFail); // no table
    EXPECT_EQ(ReadFile(saved), previous);
    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    EXPECT_EQ((std::vector<RIL_LONG>{Ril_ExportResToBinFile(nullptr),
                                     Ril_ExportResToBinFile(dir.File("no/such.bin").c_str())}),
              (std::vector<RIL_LONG>{kEFail, kEFail}));
    EXPECT_STREQ(Ril_GetStringA(1), "a");
    // No memory for the list of entries: refused before any file is made.
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEOutOfMemory);
    EXPECT_EQ(std::make_tuple(ReadFile(saved), Ril_GetNumItem(), FilesInDir()),
              std::make_tuple(previous, RIL_ULONG(1), std::size_t(2)));
}

} // namespace
} // namespace ril::test
