// Ril_WriteHeaderFile: the header's path, guard, template and definition lines byte for byte,
// the comments made from texts, and every way out with its message and result.
#include "platform/fault.h"
#include "platform/path.h"
#include "support/test_support.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>

namespace ril::test {
namespace {

namespace fs = std::filesystem;

// The separator the generator appends to the header folder.
const std::string kSep(1, platform::PreferredSeparator());

const std::string kTemplate = "#pragma once\r\n"
                              "//" +
                              std::string(68, '*') +
                              "\r\n"
                              "// \t\t\t   File: \t\t\t\r\n"
                              "// \t\t\t   Created:\t\t\r\n"
                              "// \t\t\t   Last Modify:\t\r\n"
                              "// \t\t\t   Author:\t\t\tVandrel\r\n"
                              "// \t\t\t   More Author:\t\r\n"
                              "// \t\t\t   Special Thanks:\t\r\n"
                              "// \t\t\t   Abstract:\t\t\r\n"
                              "// \t\t\t   \r\n"
                              "// \t\t\t   Note:\r\n"
                              "//" +
                              std::string(69, '*') + "\r\n";

std::string Expected(const std::string &path, const std::string &guard, const std::string &lines) {
    return "#ifndef __" + guard + "_H__\r\n#define __" + guard + "_H__\r\n" + kTemplate + lines +
           "\r\n\r\n#endif //" + path + "\r\n";
}

std::string Define(const std::string &macro, const std::string &id, const std::string &comment) {
    return "#define IDT_" + macro + " " + id + "//" + comment + "\r\n";
}

// A folder below `base` whose path is exactly `length` characters long.
std::string DeepDir(const fs::path &base, std::size_t length) {
    std::string path = base.string();
    while (path.size() + 1 < length) {
        std::size_t rest = length - path.size() - 1;
        std::size_t part = std::min<std::size_t>(200, rest);
        if (rest - part == 1) // a last part of "/" alone cannot be
            --part;
        path += "/" + std::string(part, 'd');
    }
    fs::create_directories(path);
    return path;
}

class HeaderWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Ril_UnloadRes();
        fs::create_directories(inc);
        fs::create_directories(res);
    }
    void TearDown() override {
        platform::DisarmAllFaults();
        Ril_UnloadRes();
        Ril_SetAnsiCodePage(codePage);
    }
    static std::string Text(const std::string &path) {
        Bytes bytes = ReadFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // The comment that one item of text `record` gets.
    std::string CommentOf(const Bytes &record, int wide) {
        WriteFile(bin, BinBuilder().Header(1, 1, 1).Entry(1, record).Get());
        if (Ril_WriteHeaderFile(inc.c_str(), wide, bin.c_str()) != 0)
            return "<failed>";
        std::string header = Text(inc + kSep + "strings.h");
        std::size_t at = header.find("#define IDT_M 1//");
        std::size_t end = header.find("\r\n\r\n\r\n#endif");
        return at == std::string::npos ? "<no line>" : header.substr(at + 17, end - at - 17);
    }
    void ExpectNotice(const std::string &message) {
        ASSERT_EQ(notices.Notices().size(), 1u);
        EXPECT_EQ(notices.Notices()[0].caption, "Error:");
        EXPECT_EQ(notices.Notices()[0].message, message)
            << Utf8FromGbk(notices.Notices()[0].message);
        notices.Clear();
    }

    TempDir dir;
    std::string inc = dir.File("inc");
    std::string res = dir.File("res");
    std::string bin = res + "/strings.bin";
    NoticeCapture notices;
    unsigned codePage = Ril_SetAnsiCodePage(936);
};

TEST_F(HeaderWriterTest, WorkedExampleByteForByte) {
    WriteFile(bin, BinBuilder()
                       .Header(1, 0x80000000u, 5)
                       .EntryA(5, "OK", "Yes\r\nNo")
                       .EntryA(6, "PATH", "C:\\dir\\")
                       .EntryA(7, "EMPTY", "")
                       .EntryA(0x80000000u, "NEG", "n")
                       .EntryA(8, "OK", "again")
                       .Get());
    std::string header = inc + kSep + "strings.h";
    std::string lines = Define("OK", "5", "Yes__No") + Define("PATH", "6", "C:\\dir\\|") +
                        Define("EMPTY", "7", "") + Define("NEG", "-2147483648", "n") +
                        Define("OK", "8", "again");
    Ril_WriteHeaderFile(nullptr, 0, nullptr); // the last error is now -102
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), 0);
    EXPECT_EQ(Text(header), Expected(header, "STRINGS", lines));
    fs::remove(header);
    ASSERT_EQ(Ril_WriteHeaderFile((inc + kSep).c_str(), 1, bin.c_str()), 0); // not doubled
    EXPECT_EQ(Text(header).substr(Text(header).size() - header.size() - 11),
              "#endif //" + header + "\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(inc), {}), 1); // no temporary file
    EXPECT_TRUE(notices.Notices().empty());

    // A BIN with no items.
    WriteFile(bin, BinBuilder().Header(1, 0, 0).Trailer("h").Get());
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Text(header), Expected(header, "STRINGS", ""));
}

TEST_F(HeaderWriterTest, HeaderNamesAndGuards) {
    Bytes one = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get();
    auto check = [&](const std::string &binPath, const std::string &name,
                     const std::string &guard) {
        if (!binPath.empty())
            WriteFile(binPath, one);
        ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, binPath.empty() ? nullptr : binPath.c_str()),
                  0)
            << binPath;
        std::string header = inc + kSep + name;
        ASSERT_TRUE(FileExists(header)) << header;
        EXPECT_EQ(Text(header), Expected(header, guard, Define("A", "1", "a")));
    };
    fs::create_directories(dir.File("my.res"));
    check(dir.File("my.res/strings"), "my.h", "MY"); // the '.' of the folder's name
    // Bytes that cannot stand in a C identifier become '_', each byte of a GBK character too.
    check(res + "/" + Gbk("Mixed-name 中x") + ".bin", Gbk("Mixed-name 中x") + ".h",
          "MIXED_NAME___X");
    fs::path previous = fs::current_path();
    fs::current_path(res);
    check("strings.en.bin", "strings.en.h", "STRINGS_EN"); // no folder at all
    fs::current_path(previous);
#ifndef _WIN32
    // A line break in the file name stays out of the guard and of the #endif comment.
    WriteFile(res + "/a\nb\r.bin", one);
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, (res + "/a\nb\r.bin").c_str()), 0);
    EXPECT_EQ(Text(inc + kSep + "a\nb\r.h"), "#ifndef __A_B__H__\r\n#define __A_B__H__\r\n" +
                                                 kTemplate + Define("A", "1", "a") +
                                                 "\r\n\r\n#endif //" + inc + kSep + "a_b_.h\r\n");
#endif

    // No BIN path: the loaded table's file name, extension included.
    WriteFile(bin, one);
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    check("", "strings.bin.h", "STRINGS_BIN");
    Ril_UnloadRes();

#ifndef _WIN32 // the A file functions refuse paths of MAX_PATH characters or more
    // Paths are refused rather than cut: a BIN path of 520 characters or more, a header path
    // beyond 1023 characters (here one more).
    std::string deepBin = DeepDir(dir.Path(), 514) + "/strings.bin";
    WriteFile(deepBin, one);
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, deepBin.c_str()), -102);
    EXPECT_FALSE(FileExists(inc + kSep + "stri.h"));
    std::string deepInc = DeepDir(dir.Path() / "i", 1014);
    EXPECT_EQ(Ril_WriteHeaderFile(deepInc.c_str(), 0, bin.c_str()), -102);
    EXPECT_FALSE(FileExists(deepInc + kSep + "strings."));
#endif
}

TEST_F(HeaderWriterTest, CommentsFromTexts) {
    std::string text600(600, 'x');
    EXPECT_EQ(CommentOf(RecordA("M", text600), 0), text600);
    std::string text9000 = std::string(2000, 'a') + "\r\n" + std::string(6998, 'b');
    std::string comment = std::string(2000, 'a') + "__" + std::string(6189, 'b');
    EXPECT_EQ(CommentOf(RecordA("M", text9000), 0), comment);
    EXPECT_EQ(CommentOf(RecordA("M", text9000.substr(0, 8191)), 0), comment);
    EXPECT_EQ(CommentOf(RecordA("M", text9000.substr(0, 8192)), 0), comment);
    text9000[8190] = '\\'; // the last byte kept
    EXPECT_EQ(CommentOf(RecordA("M", text9000), 0), comment.substr(0, 8190) + "\\|");
    EXPECT_EQ(CommentOf(RecordA("M", "C:?\?/"), 0), "C:?\?/|");    // "??/" is a trigraph backslash
    EXPECT_EQ(CommentOf({2, 0, 'M', 0, 'n', 'o', 'z'}, 0), "noz"); // no terminator
    EXPECT_EQ(CommentOf(RecordW("M", u"Hi"), 0), "H");

    // Multibyte texts are cut before a character that would cross the limit, and a lone lead
    // byte never ends a comment.
    const std::string cang = "\x82\x7D"; // 倉, whose trail byte is a brace
    EXPECT_EQ(CommentOf(RecordA("M", std::string(8190, 'a') + cang), 0), std::string(8190, 'a'));
    EXPECT_EQ(CommentOf(RecordA("M", std::string(8189, 'a') + cang + "b"), 0),
              std::string(8189, 'a') + cang);
    EXPECT_EQ(CommentOf(RecordA("M", "ab" + cang + cang), 0), "ab" + cang + cang);
    EXPECT_EQ(CommentOf(RecordA("M", "ab\x81"), 0), "ab?");
    EXPECT_EQ(CommentOf(RecordA("M", "ab\x81\r"), 0), "ab\x81_"); // a whole character now
    EXPECT_EQ(CommentOf(RecordA("M", "\x81\x81\x81"), 0), "\x81\x81?");
    Ril_SetAnsiCodePage(949);
    EXPECT_EQ(CommentOf(RecordA("M", "\xB0\xA1\xB0"), 0), "\xB0\xA1?");
    Ril_SetAnsiCodePage(1252);
    EXPECT_EQ(CommentOf(RecordA("M", "ab\x81"), 0), "ab\x81");
    Ril_SetAnsiCodePage(936);

    // Wide texts, converted to the ANSI code page (GBK here).
    EXPECT_EQ(CommentOf(RecordW("M", u"\u4E2D\u6587\r\nA\\"), 1), Gbk("中文") + "__A\\|");
    EXPECT_EQ(CommentOf(RecordW("M", u""), 1), "");
    EXPECT_EQ(CommentOf(RecordW("M", std::u16string(u"\0x", 2)), 1), "");
    EXPECT_EQ(CommentOf({2, 0, 'M', 0, 'n', 0, 'o'}, 1), "n"); // no terminator, odd size
    EXPECT_EQ(CommentOf(RecordW("M", std::u16string(5000, u'\u4E2D')), 1), [] {
        std::string cut;
        for (int i = 0; i < 4095; ++i)
            cut += Gbk("中");
        return cut;
    }());
    EXPECT_EQ(CommentOf(RecordW("M", std::u16string(9000, u'w')), 1), std::string(8191, 'w'));
    // In UTF-8 a pair of surrogates is one 4-byte character, never split.
    Ril_SetAnsiCodePage(65001);
    std::u16string smileys = u"a";
    std::string utf8 = "a";
    for (int i = 0; i < 2100; ++i) {
        smileys += u"\U0001F600";
        if (i < 2047)
            utf8 += "\xF0\x9F\x98\x80";
    }
    EXPECT_EQ(CommentOf(RecordW("M", smileys), 1), utf8);
    EXPECT_TRUE(notices.Notices().empty());
}

TEST_F(HeaderWriterTest, MacrosThatAreNoIdentifierAreRefused) {
    std::string header = inc + kSep + "strings.h";
    const Bytes previous = {'o', 'l', 'd'};
    WriteFile(header, previous);
    WriteFile(bin, BinBuilder()
                       .Header(1, 9, 6)
                       .EntryA(1, "OK_1", "a")
                       .EntryA(2, "X 5\r\n#include <evil.h>", "b")
                       .EntryA(3, "lower_case", "c")
                       .EntryA(4, "A-B", "d")
                       .EntryA(5, Gbk("宏"), "e")
                       .EntryA(9, "", "f")
                       .Get());
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), -203);
    EXPECT_EQ(Ril_GetLastError(), -203);
    ExpectNotice(Printf(msg::kHeaderMacroNotIdentifier, header.c_str(), "2, 4, 5"));
    EXPECT_EQ(ReadFile(header), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(inc), {}), 1); // no temporary file

    // Lower-case letters and an empty macro still make identifiers.
    WriteFile(bin,
              BinBuilder().Header(1, 9, 2).EntryA(3, "lower_case", "c").EntryA(9, "", "f").Get());
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Text(header),
              Expected(header, "STRINGS", Define("lower_case", "3", "c") + Define("", "9", "f")));
}

TEST_F(HeaderWriterTest, FailuresReportAndKeepThePreviousHeader) {
    std::string header = inc + kSep + "strings.h";
    const Bytes previous = {'o', 'l', 'd'};
    WriteFile(header, previous);
    WriteFile(bin, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    EXPECT_EQ(Ril_WriteHeaderFile(nullptr, 0, bin.c_str()), -102);
    EXPECT_EQ(Ril_WriteHeaderFile("", 0, nullptr), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, nullptr), -102);
    ExpectNotice(msg::kNoBinNoTable);
    std::string missing = res + "/missing.bin";
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, missing.c_str()), -202);
    EXPECT_EQ(Ril_GetLastError(), -202);
    ExpectNotice(Printf(msg::kCannotOpen, missing.c_str()));
    WriteFile(missing, BinBuilder().Header(1, 1, 1).U32(1).U32(0).Get());
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, missing.c_str()), -202);
    ExpectNotice(Printf(msg::kReadEntryFailed, 1u));

    std::string nowhere = dir.File("none");
    EXPECT_EQ(Ril_WriteHeaderFile(nowhere.c_str(), 0, bin.c_str()), -203);
    EXPECT_EQ(Ril_GetLastError(), -203);
    ExpectNotice(Printf(msg::kCannotOpenHeader, (nowhere + kSep + "strings.h").c_str()));
    platform::ArmFault(platform::Fault::FileOpen, 2); // the BIN opens, the header does not
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), -203);
    ExpectNotice(Printf(msg::kCannotOpenHeader, header.c_str()));
    EXPECT_EQ(ReadFile(header), previous);

    // The BIN's own close comes first: the second close is the new file's.
    for (auto [fault, countdown] :
         {std::pair{platform::Fault::FileWrite, 1}, std::pair{platform::Fault::FileClose, 2}}) {
        platform::ArmFault(fault, countdown);
        EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), -203);
        platform::DisarmAllFaults();
        EXPECT_EQ(Ril_GetLastError(), -203);
        ExpectNotice(Printf(msg::kCannotWriteHeader, header.c_str()));
        EXPECT_EQ(ReadFile(header), previous);
        EXPECT_EQ(std::distance(fs::directory_iterator(inc), {}), 1);
    }
}

} // namespace
} // namespace ril::test
