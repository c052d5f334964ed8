// Ril_ImportResFromTxtToBin: the BIN it writes, its log byte for byte, and every way out of
// its own (a log line that cannot be written is a row of the replacement test).
#include "core/messages.h"
#include "platform/user.h"
#include "support/test_support.h"

#include <thread>

using namespace ril::core;

namespace ril::test {
namespace {

namespace fs = std::filesystem;

class ImportTest : public LibraryTest {
  protected:
    RIL_LONG Import(char const *binPath, std::string const &logPath) {
        return Ril_ImportResFromTxtToBin(txt.c_str(), 0, binPath, logPath.c_str());
    }
    // The banner up to the target line, then `lines` and the closing line: the standard texts
    // in GBK, each followed by the line end the log adds.
    std::string Log(std::string const &target, std::string const &lines, bool ok) {
        std::string const rule(35, '-'), end = "\r\n\r\n";
        return "\r\n\r\n----" + rule + end + LogLine("%s", msg::kLogTitle) + Gbk("//操作者:") +
               platform::CurrentUserName() + end + Gbk("//源文本文件:") + txt + end + target +
               lines + Gbk(ok ? "\r\n----导入圆满成功！" : "\r\n----导入失败！") + rule + end;
    }
    std::string Target(std::string const &path) {
        return Gbk("//目标BIN文件:") + path + "\r\n\r\n";
    }
    std::string txt = dir.File("strings.txt");
    std::string bin = dir.File("strings.bin");
    std::string log = dir.File("import.log");
    std::string oneItem = "RilStringID=1;RilStringMacro=A\r\n{a}";
};

// A file read by its UTF-8 signature is UTF-8 for the importing thread alone: at each notice
// another thread sees the code page in force, and so does everyone afterwards.
TEST_F(ImportTest, Utf8SignatureSwitchesTheCallingThreadAlone) {
    WriteFile(txt, std::string("\xEF\xBB\xBFRilStringID=1;RilStringMacro=A\r\n{\xC3\xA9}"));
    unsigned const before = Ril_GetAnsiCodePage();
    std::vector<std::pair<unsigned, unsigned>> seen; // this thread's, another thread's
    auto const handler = [](void *context, RIL_NOTICE const *) {
        unsigned other = 0;
        std::thread([&other] { other = Ril_GetAnsiCodePage(); }).join();
        static_cast<decltype(seen) *>(context)->emplace_back(Ril_GetAnsiCodePage(), other);
    };
    Ril_SetNoticeHandlerEx(handler, &seen);
    EXPECT_EQ(
        Ril_ImportResFromTxtToBinEx(txt.c_str(), 0, bin.c_str(), nullptr, RIL_LINT_UTF8_SIGNATURE),
        0);
    Ril_SetNoticeHandlerEx(nullptr, nullptr);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(65001u, before));
    EXPECT_EQ(Ril_GetAnsiCodePage(), before);
}

// Failures of the parser, the writer and the arguments, as the log and the notices tell them.
TEST_F(ImportTest, FailuresAndTheLogFile) {
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{never closed"));
    EXPECT_EQ(Import(bin.c_str(), log), -200);
    ExpectNotice(msg::kEndInsideText); // the brace search always shows its message box
    EXPECT_EQ(ReadText(log), Log(Target(bin), LogLine(msg::kTextNotFound, 1, "A"), false));
    EXPECT_FALSE(FileExists(bin));
    WriteFile(txt, oneItem);
    const std::string unwritable = dir.File("missing/strings.bin");
    EXPECT_EQ(Import(unwritable.c_str(), log), -201);
    EXPECT_EQ(Ril_GetLastError(), -201);
    EXPECT_EQ(ReadText(log), Log(Target(unwritable),
                                 LogLine(msg::kGapCount, 0) +
                                     LogLine(msg::kCannotOpenForUpdate, unwritable.c_str()),
                                 false));

    WriteFile(log, std::string("keep"));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(nullptr, 0, bin.c_str(), log.c_str()), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_EQ(ReadText(log), "keep");
    ExpectNotice("");
    EXPECT_EQ(Import(bin.c_str(), dir.File("missing/import.log")), -102);
    ExpectNotice(msg::kLogCannotCreate);
    EXPECT_FALSE(FileExists(bin));
    // No BIN path and no table: the log records why; without a log nothing is shown.
    EXPECT_EQ(Import(nullptr, log), -102);
    EXPECT_EQ(ReadText(log), Log("", LogLine("%s", msg::kNoBinNoTable), false));
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), -102);
    ExpectNotice("");
    // Without a log every message is a notice of its own and there is no banner.
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), nullptr), 0);
    ExpectNotice("black Num: 0");
}

// A log that is the text file or the BIN, however spelt, is refused before anything is
// touched: it would destroy the file it names.
TEST_F(ImportTest, ALogNamingTheInputOrTheOutputIsRefused) {
    WriteFile(txt, oneItem);
    const Bytes previous = BinBuilder().Header(1, 0, 0).Trailer("old").Get();
    WriteFile(bin, previous);
    fs::create_directory(dir.Path() / "sub");
    const std::string linked = dir.File("linked.txt"), up = (dir.Path() / "sub" / "..").string();
    fs::create_hard_link(txt, linked);
    // The log, and the BIN path.
    const std::pair<std::string, char const *> rows[] = {{txt, bin.c_str()},
                                                         {linked, bin.c_str()},
                                                         {bin, bin.c_str()},
                                                         {up + "/strings.bin", nullptr}};
    for (auto const &[logPath, binPath] : rows) {
        ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0); // the target of a null BIN path
        EXPECT_EQ(Import(binPath, logPath), -102) << logPath;
        ExpectNotice(msg::kLogCannotCreate);
        EXPECT_EQ(std::make_tuple(ReadText(txt), ReadFile(bin), Ril_ReLoadRes()),
                  std::make_tuple(oneItem, previous, kEFail)); // still loaded
    }
    Ril_UnloadRes(); // a log that does not exist yet is another file
    EXPECT_EQ(Import(bin.c_str(), log), 0);
}

// A path that a 520-byte field (519 characters) or the header's 1024-byte path cannot hold
// is refused, never cut: cut, it would name another file. A null BIN path names the table.
TEST_F(ImportTest, OverLongPathsAreRefusedNotCut) {
#ifdef _WIN32
    GTEST_SKIP() << "the A file functions refuse paths of 260 characters or more";
#endif
    fs::path folder = dir.Path(); // dir/<folders of 200>/<name>.bin, 519 and 520 long
    while (folder.string().size() + 1 + 200 + 1 + 10 < 519)
        folder /= std::string(200, 'f');
    fs::create_directories(folder);
    const std::string fits =
        (folder / std::string(514 - folder.string().size(), 'n')).string() + ".bin";
    const std::string tooLong = fits.substr(0, fits.size() - 4) + "n.bin";
    const Bytes table = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Trailer("").Get();
    WriteFile(tooLong, table);
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{b}"));
    EXPECT_EQ(Ril_LoadRes(tooLong.c_str()), kEFail);
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), -102);
    EXPECT_FALSE(FileExists(tooLong.substr(0, 519)));
    // The header generator: a BIN path of 520 characters, a folder that leaves no room for
    // the header's name (1027 characters in all).
    WriteFile(bin, table);
    EXPECT_EQ(Ril_WriteHeaderFile(dir.Path().string().c_str(), 0, tooLong.c_str()), -102);
    const std::string longDir = dir.File(std::string(1016 - dir.Path().string().size(), 'd'));
    EXPECT_EQ(Ril_WriteHeaderFile(longDir.c_str(), 0, bin.c_str()), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    ExpectNotice("");
    WriteFile(fits, table); // 519 characters fit
    ASSERT_EQ(Ril_LoadRes(fits.c_str()), 0);
    EXPECT_EQ(Import(nullptr, log), 0);
    EXPECT_EQ(ReadText(log), Log(Target(fits), LogLine(msg::kGapCount, 0), true));
    EXPECT_EQ(Ril_GetNumItem(), 0u); // unloaded: its file was replaced
    ASSERT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(1), "b");
}

// The macro names the import takes, as a caller may ask before an edit.
TEST_F(ImportTest, MacroNames) {
    for (char const *good : {"A", "IDS_OK_2", "_9"})
        EXPECT_EQ(Ril_IsMacroName(good), 1) << good;
    for (char const *bad :
         {"", "ids_ok", "A-B", "A B", "\xC4\xE3", static_cast<char const *>(nullptr)})
        EXPECT_EQ(Ril_IsMacroName(bad), 0) << (bad ? bad : "null");
}

// Ril_WriteBinFromItems writes what the import of the same items from a text file writes,
// byte for byte (a fixed stamp and holder), and refuses what a text file could not give.
TEST_F(ImportTest, ItemsInMemoryWriteTheImportsBytes) {
    Ril_SetStampTime(1700000000);
    Ril_SetHolderText("H");
    std::u16string const wideText = u"\u4E2D&001\r\n";
    for (int const wide : {0, 1}) {
        WriteFile(txt, wide ? Utf16(u"RilStringID=7;RilStringMacro=B\r\n{" + wideText +
                                    u"}RilStringID=3;RilStringMacro=A\r\n{}")
                            : "RilStringID=7;RilStringMacro=B\r\n{\xD6\xD0&001\r\n}"
                              "RilStringID=3;RilStringMacro=A\r\n{}");
        ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), wide, bin.c_str(), nullptr), 0);
        std::string const expected = ReadText(bin);
        std::string const text = wide ? Utf16(wideText, false) : std::string("\xD6\xD0&001\r\n");
        RIL_ITEM const items[] = {{7, "B", text.data(), static_cast<RIL_ULONG>(text.size())},
                                  {3, "A", "", 0}};
        std::string const out = dir.File("items.bin");
        ASSERT_EQ(Ril_WriteBinFromItems(items, 2, wide, out.c_str()), 0) << wide;
        EXPECT_EQ(ReadText(out), expected) << wide;
    }
    notices.Clear();
    // Refusals write nothing: arguments (-102), then what validation reports (-200).
    std::string const none = dir.File("none.bin");
    RIL_ITEM const odd[] = {{1, "A", "abc", 3}}, newId[] = {{0x2FFFF, "A", "a", 1}},
                   noMacro[] = {{1, nullptr, "a", 1}}, badMacro[] = {{1, "a b", "a", 1}};
    RIL_ITEM const repeated[] = {{1, "A", "a", 1}, {1, "B", "b", 1}};
    EXPECT_EQ(Ril_WriteBinFromItems(odd, 1, 1, none.c_str()), -102);
    EXPECT_EQ(Ril_WriteBinFromItems(newId, 1, 0, none.c_str()), -102);
    EXPECT_EQ(Ril_WriteBinFromItems(noMacro, 1, 0, none.c_str()), -102);
    EXPECT_EQ(Ril_WriteBinFromItems(nullptr, 1, 0, none.c_str()), -102);
    EXPECT_EQ(Ril_WriteBinFromItems(odd, 1, 0, nullptr), -102);
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_EQ(Ril_WriteBinFromItems(repeated, 2, 0, none.c_str()), -200);
    EXPECT_FALSE(notices.Notices().empty());
    EXPECT_EQ(Ril_WriteBinFromItems(badMacro, 1, 0, none.c_str()), -200);
    EXPECT_EQ(Ril_GetLastError(), -200);
    EXPECT_FALSE(FileExists(none));
}

} // namespace
} // namespace ril::test
