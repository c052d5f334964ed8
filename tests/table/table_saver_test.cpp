// Ril_ExportResToBinFile: the saved BIN byte for byte, the table unloaded after a save, and
// failures that keep both the previous file and the loaded table.
#include "platform/fault.h"
#include "platform/user.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace ril::test {
namespace {

namespace fs = std::filesystem;

constexpr RIL_LONG kEFail = static_cast<RIL_LONG>(0x80004005u);
constexpr RIL_LONG kEOutOfMemory = static_cast<RIL_LONG>(0x8007000Eu);

class TableSaverTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override {
        platform::DisarmAllFaults();
        Ril_UnloadRes();
    }
    // The saved file without its trailer; the trailer must be a fresh holder marker.
    static Bytes Body(const std::string &path) {
        Bytes file = ReadFile(path);
        if (file.size() < 15 || file.back() != 0) {
            ADD_FAILURE() << "no trailer";
            return file;
        }
        std::size_t length = file[file.size() - 3] | file[file.size() - 2] << 8;
        std::string holder(file.end() - 3 - static_cast<long>(length), file.end() - 3);
        EXPECT_TRUE(std::regex_match(
            holder,
            std::regex("Holder=" + platform::CurrentUserName() +
                       "    Editor=VeruDodUzarer    StartTime=[1-9][0-9]*-[1-9][0-9]?-[1-9][0-9]? "
                       "[0-9]{1,2}:[0-9]{1,2}'[0-9]{1,2}\"")))
            << holder;
        return Bytes(file.begin(), file.end() - 3 - static_cast<long>(length));
    }
    void Load(const Bytes &bin) {
        WriteFile(loaded, bin);
        ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
    }

    TempDir dir;
    std::string loaded = dir.File("loaded.bin");
    std::string saved = dir.File("saved.bin");
};

TEST_F(TableSaverTest, SavesAscendingWithAFreshHolderAndUnloads) {
    // Holder flag 0, entries out of order, a declared max ID above the largest ID, a size-0
    // entry, a repeated ID (the later record wins) and entries at and above 0x2FFFF.
    Bytes source = BinBuilder()
                       .Header(0, 196610, 7)
                       .EntryA(5, "BYE", "OK")
                       .EntryA(196607, "TOO_HIGH", "x")
                       .EntryA(1, "HELLO", "Hi")
                       .U32(3)
                       .U32(0)
                       .EntryA(196606, "LAST", "y")
                       .EntryA(5, "BYE", "OK!")
                       .EntryA(196609, "HIGHER", "z")
                       .Get();
    Load(source);
    Ril_WriteHeaderFile(nullptr, 0, nullptr); // the last error is now -102
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), -102); // not written by the save
    EXPECT_EQ(Body(saved), BinBuilder()
                               .Header(1, 196606, 3)
                               .EntryA(1, "HELLO", "Hi")
                               .EntryA(5, "BYE", "OK!")
                               .EntryA(196606, "LAST", "y")
                               .Get());
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    EXPECT_EQ(Ril_GetData(1), nullptr);
    EXPECT_EQ(Ril_GetItemSize(5), 0u);
    EXPECT_STREQ(Ril_GetStringA(1), " ");
    EXPECT_EQ(FilesInDir(), 2u); // no temporary file left behind

    // The path is kept: a reload reads the file last loaded, not the file just written.
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_EQ(Ril_GetNumItem(), 7u);
    EXPECT_STREQ(Ril_GetStringA(196607), "x");

    // The worked example saved as it was loaded, in its smallest form.
    Load(BinBuilder()
             .Header(1, 5, 2)
             .EntryA(1, "HELLO", "Hi")
             .EntryA(5, "BYE", "OK")
             .Trailer("x")
             .Get());
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(Body(saved),
              BinBuilder().Header(1, 5, 2).EntryA(1, "HELLO", "Hi").EntryA(5, "BYE", "OK").Get());

    // A max ID far beyond the entries: the save writes the entries present, nothing more.
    Load(BinBuilder()
             .Header(0, 0xFFFFFFF0u, 2)
             .EntryA(0xFFFFFFF9u, "TOP", "t")
             .EntryA(9, "N", "n")
             .Get());
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(Body(saved), BinBuilder().Header(1, 9, 1).EntryA(9, "N", "n").Get());
}

TEST_F(TableSaverTest, EmptyTablesAndSavingOverTheLoadedFile) {
    Load(BinBuilder().Header(0, 9, 0).Get());
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    EXPECT_EQ(Body(saved), BinBuilder().Header(1, 0, 0).Get());
    EXPECT_EQ(Ril_GetData(0), nullptr);
    EXPECT_EQ(Ril_ReLoadRes(), 0);

    // Saved as held in memory: carriage returns that a getter blanked stay blanks.
    Load(BinBuilder().Header(1, 2, 2).EntryA(1, "CR", "a\rb").EntryA(2, "KEEP", "c\rd").Get());
    EXPECT_STREQ(Ril_GetStringA(1), "a b");
    ASSERT_EQ(Ril_ExportResToBinFile(loaded.c_str()), 0);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_EQ(Ril_GetNumItem(), 2u);
    EXPECT_EQ(Body(loaded),
              BinBuilder().Header(1, 2, 2).EntryA(1, "CR", "a b").EntryA(2, "KEEP", "c\rd").Get());
}

TEST_F(TableSaverTest, FailuresKeepTheFileAndTheTable) {
    const Bytes previous = {'o', 'l', 'd'};
    WriteFile(saved, previous);
    EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEFail); // no table
    EXPECT_EQ(ReadFile(saved), previous);

    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    EXPECT_EQ(Ril_ExportResToBinFile(nullptr), kEFail);
    EXPECT_EQ(Ril_ExportResToBinFile(dir.File("no/such.bin").c_str()), kEFail);
    EXPECT_EQ(Ril_GetNumItem(), 1u);
    platform::ArmFault(platform::Fault::FileOpen, 1);
    EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEFail);
    for (platform::Fault fault : {platform::Fault::FileWrite, platform::Fault::FileClose}) {
        platform::ArmFault(fault, 1);
        EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEFail);
        platform::DisarmAllFaults();
        EXPECT_EQ(ReadFile(saved), previous);
        EXPECT_EQ(Ril_GetNumItem(), 1u);
        EXPECT_STREQ(Ril_GetStringA(1), "a");
        EXPECT_EQ(FilesInDir(), 2u);
    }
    // No memory for the list of entries: refused before any file is made.
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_ExportResToBinFile(saved.c_str()), kEOutOfMemory);
    platform::DisarmAllFaults();
    EXPECT_EQ(ReadFile(saved), previous);
    EXPECT_EQ(Ril_GetNumItem(), 1u);
    EXPECT_EQ(FilesInDir(), 2u);
}

} // namespace
} // namespace ril::test
