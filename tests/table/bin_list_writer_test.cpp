// Writing an item list as a BIN: the layout, and recognising the loaded table's file.
#include "api/library_state.h"
#include "core/messages.h"
#include "items/ril_txt_loader.h"
#include "support/test_support.h"
#include "table/bin_list_writer.h"

namespace ril::test {
namespace {

class BinListWriterTest : public LibraryTest {
  protected:
    // Writes `items` as the import does, to `binPath` or the loaded table's file.
    int Save(const CRilTxtLoader &items, const char *binPath, const char *logPath) {
        return SaveBin(items, ResolveBinTarget(binPath, BinUse::Write), logPath);
    }
    TempDir logs;
    std::string log = logs.File("writer.log");
    CRilTxtLoader list;
};

TEST_F(BinListWriterTest, WritesEntriesInListOrderWithAHolderMarker) {
    AddItem(list, 5, "BYE", "OK");
    AddItem(list, 1, "HELLO", "Hi");
    AddItem(list, 0x80000000u, "BIG", "x");
    AddItem(list, 3, "NONE", nullptr);
    std::string bin = dir.File("out.bin");
    ASSERT_EQ(Save(list, bin.c_str(), log.c_str()), 1);
    // clang-format off
    EXPECT_EQ(SavedBody(bin), BinBuilder().Header(1, 0x80000000u, 3).EntryA(5, "BYE", "OK")
            .EntryA(1, "HELLO", "Hi").EntryA(0x80000000u, "BIG", "x").Get());
    // clang-format on
    EXPECT_EQ(ReadText(log), "");
    EXPECT_EQ(FilesInDir(), 1u); // no temporary file left behind
    ASSERT_EQ(Save(CRilTxtLoader(), bin.c_str(), log.c_str()), 1);
    EXPECT_EQ(SavedBody(bin), BinBuilder().Header(1, 0, 0).Get());
}

TEST_F(BinListWriterTest, TheLoadedFileIsReplacedThenUnloaded) {
    std::string bin = Put("Table.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Get());
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    AddItem(list, 1, "NEW", "new");
    // Another spelling of the same file is not recognised: the table stays loaded.
    ASSERT_EQ(Save(list, dir.File("./Table.bin").c_str(), log.c_str()), 1);
    EXPECT_STREQ(Ril_GetStringA(1), "old");
    // Other letter case names the loaded file (the names are compared, not the files).
    std::string upper = bin.substr(0, bin.size() - 9) + "TABLE.BIN";
    ASSERT_EQ(Save(list, upper.c_str(), log.c_str()), 1);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    std::filesystem::remove(upper);
    // No path: the loaded table's own file, which is then unloaded; a reload reads it.
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    CRilTxtLoader newer;
    AddItem(newer, 2, "TWO", "two");
    ASSERT_EQ(Save(newer, nullptr, log.c_str()), 1);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(2), "two");
    EXPECT_EQ(ReadText(log), "");
}

TEST_F(BinListWriterTest, PathsAreComparedOnTheirFirst259Characters) {
    std::filesystem::path deep = dir.Path() / std::string(270 - dir.Path().string().size(), 'd');
    std::filesystem::create_directories(deep);
    std::string loaded = (deep / "a.bin").string();
    WriteFile(loaded, BinBuilder().Header(1, 0, 0).Trailer("").Get());
    ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    AddItem(list, 1, "A", "a");
    // b.bin differs from a.bin only after character 259.
    ASSERT_EQ(Save(list, (deep / "b.bin").string().c_str(), log.c_str()), 1);
    EXPECT_EQ(Ril_ReLoadRes(), 0); // the table had been unloaded as if its file were written
}

TEST_F(BinListWriterTest, RefusalsAndFailuresKeepEverything) {
    AddItem(list, 1, "A", "a");
    ASSERT_EQ(Save(list, nullptr, log.c_str()), 0); // no path and no table
    EXPECT_EQ(ReadText(log), std::string(msg::kNoBinNoTable) + "\r\n");
    std::filesystem::remove(log);
    EXPECT_EQ(Save(list, "", log.c_str()), 0); // refused without a message
    EXPECT_EQ(ReadText(log), "");
}

} // namespace
} // namespace ril::test
