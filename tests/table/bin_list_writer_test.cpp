// Writing an item list as a BIN: the layout, recognising the loaded table's file, and
// failures that must leave the previous file and the table as they were.
#include "api/library_state.h"
#include "core/messages.h"
#include "platform/fault.h"
#include "platform/user.h"
#include "support/test_support.h"
#include "table/bin_list_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

namespace ril::test {
namespace {

class BinListWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override {
        platform::DisarmAllFaults();
        Ril_UnloadRes();
    }
    void Add(std::uint32_t id, const std::string &macro, const std::string &text,
             bool record = true) {
        auto item = std::make_unique<RilStrRes>();
        item->ID = id;
        std::strncpy(item->Macro, macro.c_str(), sizeof item->Macro - 1);
        if (record) {
            ASSERT_EQ(item->SetTextA(text.data(), text.size()), kSOk);
        }
        list.Append(std::move(item));
    }
    // The file without its holder marker, and the holder text.
    static std::pair<Bytes, std::string> Split(const Bytes &file) {
        std::size_t length = file[file.size() - 3] | file[file.size() - 2] << 8;
        std::size_t textAt = file.size() - 3 - length;
        return {Bytes(file.begin(), file.begin() + static_cast<long>(textAt)),
                std::string(file.begin() + static_cast<long>(textAt), file.end() - 3)};
    }
    std::string Log() {
        if (!FileExists(log))
            return "";
        Bytes bytes = ReadFile(log);
        return std::string(bytes.begin(), bytes.end());
    }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
    }

    // Writes `items` as the import does, to `binPath` or the loaded table's file.
    int Save(const CRilTxtLoader &items, const char *binPath, const char *logPath) {
        return SaveBin(items, ResolveBinTarget(binPath, BinUse::Write), logPath);
    }

    TempDir dir;
    std::string log = dir.File("writer.log");
    CRilTxtLoader list;
};

TEST_F(BinListWriterTest, WritesEntriesInListOrderWithAHolderMarker) {
    Add(5, "BYE", "OK");
    Add(1, "HELLO", "Hi");
    Add(0x80000000u, "BIG", "x");
    Add(3, "NONE", "", false); // no record: no entry
    std::string bin = dir.File("out.bin");
    ASSERT_EQ(Save(list, bin.c_str(), log.c_str()), 1);
    auto [body, holder] = Split(ReadFile(bin));
    Bytes expected = BinBuilder()
                         .Header(1, 0x80000000u, 3)
                         .EntryA(5, "BYE", "OK")
                         .EntryA(1, "HELLO", "Hi")
                         .EntryA(0x80000000u, "BIG", "x")
                         .Get();
    EXPECT_EQ(body, expected);
    std::regex pattern("Holder=" + platform::CurrentUserName() +
                       "    Editor=VeruDodUzarer    StartTime=[1-9][0-9]*-[1-9][0-9]?-[1-9][0-9]? "
                       "[0-9]{1,2}:[0-9]{1,2}'[0-9]{1,2}\"");
    EXPECT_TRUE(std::regex_match(holder, pattern)) << holder;
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(FilesInDir(), 1u); // no temporary file left behind

    CRilTxtLoader empty;
    ASSERT_EQ(Save(empty, bin.c_str(), log.c_str()), 1);
    EXPECT_EQ(Split(ReadFile(bin)).first, BinBuilder().Header(1, 0, 0).Get());
}

TEST_F(BinListWriterTest, TheLoadedFileIsReplacedThenUnloaded) {
    std::string bin = dir.File("Table.bin");
    WriteFile(bin, BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Trailer("h").Get());
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    Add(1, "NEW", "new");

    // Another spelling of the same file is not recognised: the table stays loaded.
    std::string other = dir.File("./Table.bin");
    ASSERT_EQ(Save(list, other.c_str(), log.c_str()), 1);
    EXPECT_EQ(Ril_GetNumItem(), 1u);
    EXPECT_STREQ(Ril_GetStringA(1), "old");

    // The same path with other letter case is the loaded file (as a name: nothing is
    // written to another file here, the names are compared, not the files).
    std::string upper = bin.substr(0, bin.size() - 9) + "TABLE.BIN";
    ASSERT_EQ(Save(list, upper.c_str(), log.c_str()), 1);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    std::filesystem::remove(upper);

    // No path: the loaded table's own file, which is then unloaded; a reload reads it.
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    CRilTxtLoader newer;
    auto item = std::make_unique<RilStrRes>();
    item->ID = 2;
    std::strcpy(item->Macro, "TWO");
    ASSERT_EQ(item->SetTextA("two", 3), kSOk);
    newer.Append(std::move(item));
    ASSERT_EQ(Save(newer, nullptr, log.c_str()), 1);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(2), "two");
    EXPECT_EQ(Log(), "");
}

TEST_F(BinListWriterTest, PathsAreComparedOnTheirFirst259Characters) {
    std::filesystem::path deep = dir.Path() / std::string(270 - dir.Path().string().size(), 'd');
    std::filesystem::create_directories(deep);
    std::string loaded = (deep / "a.bin").string();
    std::string lookalike = (deep / "b.bin").string(); // differs only after character 259
    WriteFile(loaded, BinBuilder().Header(1, 0, 0).Trailer("").Get());
    ASSERT_EQ(Ril_LoadRes(loaded.c_str()), 0);
    Add(1, "A", "a");
    ASSERT_EQ(Save(list, lookalike.c_str(), log.c_str()), 1);
    EXPECT_EQ(Ril_ReLoadRes(), 0); // the table had been unloaded as if its file were written
}

TEST_F(BinListWriterTest, RefusalsAndFailuresKeepEverything) {
    Add(1, "A", "a");
    // No path and no table.
    ASSERT_EQ(Save(list, nullptr, log.c_str()), 0);
    EXPECT_EQ(Log(), std::string(msg::kNoBinNoTable) + "\r\n");
    std::filesystem::remove(log);
    // An empty path: refused without a message.
    EXPECT_EQ(Save(list, "", log.c_str()), 0);
    EXPECT_EQ(Log(), "");

    std::string bin = dir.File("keep.bin");
    Bytes previous = BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Trailer("h").Get();
    WriteFile(bin, previous);
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    char line[1024];

    // The target cannot be created.
    std::string missing = dir.File("no/such/dir.bin");
    ASSERT_EQ(Save(list, missing.c_str(), log.c_str()), 0);
    std::snprintf(line, sizeof line, msg::kCannotOpenForUpdate, missing.c_str());
    EXPECT_EQ(Log(), std::string(line) + "\r\n");
    std::filesystem::remove(log);

    // Writing, closing or replacing fails: the old file and the loaded table stay.
    for (platform::Fault fault : {platform::Fault::FileWrite, platform::Fault::FileClose}) {
        platform::ArmFault(fault, 1);
        ASSERT_EQ(Save(list, bin.c_str(), log.c_str()), 0);
        platform::DisarmAllFaults();
        std::snprintf(line, sizeof line, msg::kCannotWriteBin, bin.c_str());
        EXPECT_EQ(Log(), std::string(line) + "\r\n");
        std::filesystem::remove(log);
        EXPECT_EQ(ReadFile(bin), previous);
        EXPECT_EQ(Ril_GetNumItem(), 1u);
        EXPECT_STREQ(Ril_GetStringA(1), "old");
        EXPECT_EQ(FilesInDir(), 1u);
    }
}

} // namespace
} // namespace ril::test
