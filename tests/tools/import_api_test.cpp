// Ril_ImportResFromTxtToBin: the BIN it writes, its log byte for byte, and every way out.
#include "core/messages.h"
#include "platform/fault.h"
#include "platform/user.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>

namespace ril::test {
namespace {

class ImportTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override { Ril_UnloadRes(); }
    std::string Log() {
        Bytes bytes = ReadFile(log);
        return std::string(bytes.begin(), bytes.end());
    }
    std::string Head(const std::string &txt, const std::string &bin) {
        return LogLine("%s", msg::kLogRule) + LogLine("%s", msg::kLogTitle) +
               LogLine(msg::kLogOperator, platform::CurrentUserName().c_str()) +
               LogLine(msg::kLogSource, txt.c_str()) + LogLine(msg::kLogTarget, bin.c_str());
    }
    static Bytes WithoutTrailer(const Bytes &file) {
        std::size_t length = file[file.size() - 3] | file[file.size() - 2] << 8;
        return Bytes(file.begin(), file.end() - 3 - static_cast<long>(length));
    }

    TempDir dir;
    std::string txt = dir.File("strings.txt");
    std::string bin = dir.File("strings.bin");
    std::string log = dir.File("import.log");
};

TEST_F(ImportTest, SuccessfulImportWritesTheBinAndTheLog) {
    WriteFile(txt, Gbk("RilStringID=1002;RilStringMacro=BYE\r\n{再见}\r\n"
                       "RilStringID=1000 RilStringMacro=HELLO\r\n{你好\r\nworld}\r\n"
                       "RilStringID=-1;RilStringMacro=NEW_ONE\r\n{new}\r\n"));
    WriteFile(log, std::string("an older run"));
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), 0);

    Bytes expected = BinBuilder()
                         .Header(1, 1002, 3)
                         .EntryA(1000, "HELLO", Gbk("你好\r\nworld"))
                         .EntryA(1001, "NEW_ONE", "new")
                         .EntryA(1002, "BYE", Gbk("再见"))
                         .Get();
    EXPECT_EQ(WithoutTrailer(ReadFile(bin)), expected);
    // After 1000, the IDs 1002, 1000 and -1 add 1, -3 and -1002 to the gap count; the new
    // ID takes 1001, the one number the pool received.
    EXPECT_EQ(Log(),
              Head(txt, bin) + LogLine(msg::kGapCount, -1004) + LogLine("%s", msg::kLogSuccess));
    std::string log15 = Log();
    EXPECT_EQ(std::count(log15.begin(), log15.end(), '\n'), 16); // 15 lines + the gap count
}

TEST_F(ImportTest, ValidationFaultsAreAllLoggedAndTheBinIsKept) {
    Bytes previous = BinBuilder().Header(1, 0, 0).Trailer("old").Get();
    WriteFile(bin, previous);
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=bad\r\n{x}\r\n"
                               "RilStringID=2;RilStringMacro=OK\r\n{y}\r\n"
                               "RilStringID=2;RilStringMacro=OK\r\n{z}\r\n"));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), -200);
    EXPECT_EQ(Ril_GetLastError(), -200);
    std::string expected = Head(txt, bin) + LogLine(msg::kGapCount, -1001);
    for (const char *c : {"b", "a", "d"})
        expected += LogLine(msg::kIllegalMacroCharacter, 1, "bad", c);
    expected += LogLine(msg::kDuplicateMacro, 2, "OK", 2, "OK") + LogLine("%s", msg::kLogFailure);
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(ReadFile(bin), previous);
}

TEST_F(ImportTest, ParserAndWriterFailures) {
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{never closed"));
    {
        NoticeCapture notices; // the brace search always shows its message box
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), -200);
        ASSERT_EQ(notices.Notices().size(), 1u);
        EXPECT_EQ(notices.Notices()[0].message, msg::kEndInsideText);
    }
    EXPECT_EQ(Log(), Head(txt, bin) + LogLine(msg::kTextNotFound, 1, "A") +
                         LogLine("%s", msg::kLogFailure));
    EXPECT_FALSE(FileExists(bin));

    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
    std::string unwritable = dir.File("missing/strings.bin");
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, unwritable.c_str(), log.c_str()), -201);
    EXPECT_EQ(Ril_GetLastError(), -201);
    EXPECT_EQ(Log(), Head(txt, unwritable) + LogLine(msg::kGapCount, -1000) +
                         LogLine(msg::kCannotOpenForUpdate, unwritable.c_str()) +
                         LogLine("%s", msg::kLogFailure));
}

TEST_F(ImportTest, ArgumentsAndTheLogFile) {
    NoticeCapture notices;
    WriteFile(log, std::string("keep"));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(nullptr, 0, bin.c_str(), log.c_str()), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_EQ(Log(), "keep");
    EXPECT_TRUE(notices.Notices().empty());

    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
    std::string badLog = dir.File("missing/import.log");
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), badLog.c_str()), -102);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].message, msg::kLogCannotCreate);
    EXPECT_FALSE(FileExists(bin));
    notices.Clear();

    // No BIN path and no table: the log records why; without a log nothing is shown.
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, log.c_str()), -102);
    EXPECT_EQ(Log(), LogLine("%s", msg::kLogRule) + LogLine("%s", msg::kLogTitle) +
                         LogLine(msg::kLogOperator, platform::CurrentUserName().c_str()) +
                         LogLine(msg::kLogSource, txt.c_str()) + LogLine("%s", msg::kNoBinNoTable) +
                         LogLine("%s", msg::kLogFailure));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), -102);
    EXPECT_TRUE(notices.Notices().empty());

    // Without a log every message is a notice of its own and there is no banner.
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), nullptr), 0);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].message, "black Num: -1000");
}

TEST_F(ImportTest, NoBinPathTargetsTheLoadedTable) {
    WriteFile(bin, BinBuilder().Header(1, 1, 1).EntryA(1, "OLD", "old").Trailer("").Get());
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=NEW\r\n{new}"));
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, log.c_str()), 0);
    EXPECT_EQ(Log(),
              Head(txt, bin) + LogLine(msg::kGapCount, -1000) + LogLine("%s", msg::kLogSuccess));
    EXPECT_EQ(Ril_GetNumItem(), 0u); // unloaded: its file was replaced
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(1), "new");
}

// A log that is the text file or the BIN, however spelt, is refused before anything is
// touched: it would destroy the file it names.
TEST_F(ImportTest, ALogNamingTheInputOrTheOutputIsRefused) {
    namespace fs = std::filesystem;
    const std::string text = "RilStringID=1;RilStringMacro=A\r\n{a}";
    WriteFile(txt, text);
    const Bytes previous = BinBuilder().Header(1, 0, 0).Trailer("old").Get();
    WriteFile(bin, previous);
    fs::create_directory(dir.Path() / "sub");
    const std::string linked = dir.File("linked.txt");
    fs::create_hard_link(txt, linked);
    struct Row {
        std::string log;
        const char *binPath;
    };
    const std::string respelt = (dir.Path() / "sub" / ".." / "strings.txt").string();
    for (const Row &row : {Row{txt, bin.c_str()}, Row{respelt, bin.c_str()},
                           Row{linked, bin.c_str()}, Row{bin, bin.c_str()},
                           Row{(dir.Path() / "sub" / ".." / "strings.bin").string(), nullptr}}) {
        ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0); // the target of a null BIN path
        NoticeCapture notices;
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, row.binPath, row.log.c_str()), -102)
            << row.log;
        ASSERT_EQ(notices.Notices().size(), 1u);
        EXPECT_EQ(notices.Notices()[0].message, msg::kLogCannotCreate);
        EXPECT_EQ(ReadFile(txt), Bytes(text.begin(), text.end()));
        EXPECT_EQ(ReadFile(bin), previous);
        EXPECT_EQ(Ril_ReLoadRes(), static_cast<RIL_LONG>(0x80004005u)); // still loaded
    }
    // A log that does not exist yet is another file.
    Ril_UnloadRes();
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), 0);
}

// A log line that cannot be written is reported (the "cannot write" notice naming the log,
// then the line); the import's result stays that of the BIN.
TEST_F(ImportTest, ALogThatCannotBeWrittenIsReported) {
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
    NoticeCapture notices;
    platform::ArmFault(platform::Fault::FileWrite, 1); // the log's first line
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), 0);
    platform::DisarmAllFaults();
    ASSERT_EQ(notices.Notices().size(), 2u);
    EXPECT_EQ(notices.Notices()[0].message, Printf(msg::kCannotWriteBin, log.c_str()));
    EXPECT_EQ(notices.Notices()[1].message, msg::kLogRule);
    const std::string head = Head(txt, bin);
    EXPECT_EQ(Log(), head.substr(LogLine("%s", msg::kLogRule).size()) +
                         LogLine(msg::kGapCount, -1000) + LogLine("%s", msg::kLogSuccess));
}

#ifndef _WIN32
// The log is emptied, not deleted: a log path that is a link keeps leading to its file.
TEST_F(ImportTest, TheLogIsEmptiedNotDeleted) {
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
    const std::string real = dir.File("real.log");
    WriteFile(real, std::string("an older run"));
    std::filesystem::create_symlink("real.log", log);
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), log.c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(log));
    EXPECT_EQ(ReadFile(real), ReadFile(log));
    EXPECT_EQ(Log(),
              Head(txt, bin) + LogLine(msg::kGapCount, -1000) + LogLine("%s", msg::kLogSuccess));
}
#endif

// A path that a 520-byte field (519 characters) or the header's 1024-byte path cannot hold
// is refused, never cut: cut, it would name another file.
TEST_F(ImportTest, OverLongPathsAreRefusedNotCut) {
#ifdef _WIN32
    GTEST_SKIP() << "the A file functions refuse paths of 260 characters or more";
#endif
    namespace fs = std::filesystem;
    // dir/<folders of 200 characters>/<name>, exactly `length` characters long.
    auto longPath = [&](std::size_t length) {
        fs::path folder = dir.Path();
        while (folder.string().size() + 1 + 200 + 1 + 10 < length)
            folder /= std::string(200, 'f');
        fs::create_directories(folder);
        std::string path = (folder / "").string();
        return path + std::string(length - path.size() - 4, 'n') + ".bin";
    };
    const Bytes table = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Trailer("").Get();
    const std::string fits = longPath(519);
    const std::string tooLong = longPath(520);
    WriteFile(tooLong, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "long").Trailer("").Get());
    const Bytes longTable = ReadFile(tooLong);
    WriteFile(bin, table);
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{b}"));
    // Refused, the table loaded before stays loaded.
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    EXPECT_EQ(Ril_LoadRes(tooLong.c_str()), static_cast<RIL_LONG>(0x80004005u));
    EXPECT_STREQ(Ril_GetStringA(1), "a");
    Ril_UnloadRes();
    // Nothing loaded then: an import with no BIN path has no target, and the cut path is
    // not written.
    EXPECT_EQ(Ril_LoadRes(tooLong.c_str()), static_cast<RIL_LONG>(0x80004005u));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), -102);
    EXPECT_EQ(ReadFile(tooLong), longTable);
    EXPECT_FALSE(FileExists(tooLong.substr(0, 519)));
    // The header generator: a BIN path of 520 characters, a folder that leaves no room for
    // the header's name (1027 characters in all).
    NoticeCapture notices;
    EXPECT_EQ(Ril_WriteHeaderFile(dir.Path().string().c_str(), 0, tooLong.c_str()), -102);
    const std::string folder = dir.File(std::string(1016 - dir.Path().string().size(), 'd'));
    EXPECT_EQ(Ril_WriteHeaderFile(folder.c_str(), 0, bin.c_str()), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_TRUE(notices.Notices().empty());
    // 519 characters fit.
    WriteFile(fits, table);
    ASSERT_EQ(Ril_LoadRes(fits.c_str()), 0);
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), 0);
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(1), "b");
}

} // namespace
} // namespace ril::test
