// Ril_WriteHeaderFile: the header's path, guard, template and definition lines byte for byte,
// the comments made from texts, and the ways out of its own.
#include "core/messages.h"
#include "platform/path.h"
#include "support/test_support.h"

using namespace ril::core;

namespace ril::test {
namespace {

namespace fs = std::filesystem;

const std::string kSep(1, platform::PreferredSeparator()); // appended to the header folder
const std::string kTemplate =
    "#pragma once\r\n//" + std::string(68, '*') +
    "\r\n// \t\t\t   File: \t\t\t\r\n// \t\t\t   Created:\t\t\r\n// \t\t\t   Last Modify:\t\r\n"
    "// \t\t\t   Author:\t\t\tVandrel\r\n// \t\t\t   More Author:\t\r\n"
    "// \t\t\t   Special Thanks:\t\r\n// \t\t\t   Abstract:\t\t\r\n// \t\t\t   \r\n"
    "// \t\t\t   Note:\r\n//" +
    std::string(69, '*') + "\r\n";

std::string Expected(std::string const &path, std::string const &guard, std::string const &lines) {
    return "#ifndef __" + guard + "_H__\r\n#define __" + guard + "_H__\r\n" + kTemplate + lines +
           "\r\n\r\n#endif //" + path + "\r\n";
}
std::string Define(std::string const &macro, std::string const &id, std::string const &comment) {
    return "#define IDT_" + macro + " " + id + "//" + comment + "\r\n";
}

class HeaderWriterTest : public LibraryTest {
  protected:
    HeaderWriterTest() : LibraryTest(936) {}
    void SetUp() override {
        LibraryTest::SetUp();
        fs::create_directories(inc);
        fs::create_directories(res);
    }
    // The comment that one item of text `record` gets, the same whether the BIN ends with the
    // record or a holder marker follows (the text's end read in blocks).
    std::string CommentOf(Bytes const &record, int wide) {
        std::string comments[2];
        for (int marked : {0, 1}) {
            BinBuilder builder;
            builder.Header(1, 1, 1).Entry(1, record);
            if (marked)
                builder.Trailer(std::string(64, 'h'));
            WriteFile(bin, builder.Get());
            if (Ril_WriteHeaderFile(inc.c_str(), wide, bin.c_str()) != 0)
                return "<failed>";
            const std::string text = ReadText(header);
            const std::size_t at = text.find("#define IDT_M 1//"),
                              end = text.find("\r\n\r\n\r\n#endif");
            comments[marked] =
                at == std::string::npos ? "<no line>" : text.substr(at + 17, end - at - 17);
        }
        return comments[0] == comments[1] ? comments[0] : comments[0] + " <> " + comments[1];
    }
    std::string inc = dir.File("inc");
    std::string res = dir.File("res");
    std::string bin = res + "/strings.bin";
    std::string header = inc + kSep + "strings.h";
};

TEST_F(HeaderWriterTest, WorkedExampleByteForByte) {
    // Lower-case letters and an empty macro still make identifiers; a macro may repeat.
    // clang-format off
    WriteFile(bin, BinBuilder().Header(1, 0x80000000u, 5).EntryA(5, "OK", "Yes\r\nNo")
                       .EntryA(6, "PATH", "C:\\dir\\").EntryA(7, "", "").EntryA(0x80000000u, "neg", "n")
                       .EntryA(8, "OK", "again").Get());
    // clang-format on
    const std::string lines = Define("OK", "5", "Yes__No") + Define("PATH", "6", "C:\\dir\\|") +
                              Define("", "7", "") + Define("neg", "-2147483648", "n") +
                              Define("OK", "8", "again");
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(ReadText(header), Expected(header, "STRINGS", lines));
    ExpectNotice("");
    WriteFile(bin, BinBuilder().Header(1, 0, 0).Trailer("h").Get()); // no items
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(ReadText(header), Expected(header, "STRINGS", ""));
    // A BIN read in several parts: entries and records that straddle the parts, one record
    // larger than a part; an entry that cannot be read in a later part fails the header,
    // which stays as it was.
    for (bool bad : {false, true}) {
        BinBuilder big;
        big.Header(1, 3000, 3000);
        std::string bigLines;
        for (std::uint32_t id = 1; id <= 3000; ++id) {
            const std::string macro = "M" + std::to_string(id),
                              text(id == 9 ? 400000 : id % 300, 'a' + id % 26);
            big.EntryA(bad && id == 3000 ? 5000 : id, macro, text);
            bigLines += Define(macro, std::to_string(id), text.substr(0, 8191));
        }
        WriteFile(bin, big.Get());
        EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), bad ? -202 : 0);
        EXPECT_EQ(ReadText(header), Expected(header, "STRINGS", bigLines)) << bad;
        ExpectNotice(bad ? Printf(msg::kReadEntryFailed, 5000u) : "");
    }
}

// Ril_WriteHeaderFileInspected: the flavour chosen from the inspection, or nothing written.
TEST_F(HeaderWriterTest, InspectedHeaderWritesTheChosenFlavourOrNothing) {
    auto const choose = [](void *context, RIL_BIN_INFO const *info) {
        auto &choice = *static_cast<std::array<int, 3> *>(context); // answer, verdict, flavour
        choice[1] = info->verdict;
        choice[2] = info->flavour;
        return choice[0];
    };
    auto const write = [&](std::string const &from, int answer) {
        WriteFile(header, std::string("old"));
        std::array<int, 3> choice{answer, -1, -1};
        RIL_BIN_INFO info{};
        info.structSize = sizeof info;
        const RIL_LONG result =
            Ril_WriteHeaderFileInspected(inc.c_str(), from.c_str(), choose, &choice, &info);
        return std::make_tuple(result, choice, ReadText(header));
    };
    WriteFile(bin, BinBuilder().Header(0, 1, 1).EntryW(1, "W", u"\u4E2D").Get());
    const std::string old = "old", lines = Define("W", "1", Gbk("中"));
    EXPECT_EQ(write(bin, 1), std::make_tuple(0, std::array{1, int(RIL_BIN_OK), 2},
                                             Expected(header, "STRINGS", lines)));
    EXPECT_EQ(write(bin, -7), std::make_tuple(-7, std::array{-7, int(RIL_BIN_OK), 2}, old));
    EXPECT_EQ(write(res, 0),
              std::make_tuple(kEFail, std::array{0, int(RIL_BIN_UNREADABLE), 0}, old));
    EXPECT_EQ(Ril_WriteHeaderFileInspected(inc.c_str(), bin.c_str(), nullptr, nullptr, nullptr),
              -102);
    ExpectNotice("");
    EXPECT_EQ(std::distance(fs::directory_iterator(inc), {}), 1); // no temporary file
}

TEST_F(HeaderWriterTest, HeaderNamesAndGuards) {
    const Bytes one = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get();
    auto check = [&](std::string const &binPath, std::string const &name,
                     std::string const &guard) {
        if (!binPath.empty())
            WriteFile(binPath, one);
        ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, binPath.empty() ? nullptr : binPath.c_str()),
                  0)
            << binPath;
        const std::string path = inc + kSep + name;
        EXPECT_EQ(ReadText(path), Expected(path, guard, Define("A", "1", "a")));
    };
    fs::create_directories(dir.File("my.res"));
    check(dir.File("my.res/strings"), "my.h", "MY"); // the '.' of the folder's name
    // Bytes that cannot stand in a C identifier become '_', each byte of a GBK character too.
    check(res + "/" + Gbk("Mixed-name 中x") + ".bin", Gbk("Mixed-name 中x") + ".h",
          "MIXED_NAME___X");
    const fs::path previous = fs::current_path();
    fs::current_path(res);
    check("strings.en.bin", "strings.en.h", "STRINGS_EN"); // no folder at all
    fs::current_path(previous);
#ifndef _WIN32
    // A line break in the file name stays out of the guard and of the #endif comment.
    WriteFile(res + "/a\nb\r.bin", one);
    ASSERT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, (res + "/a\nb\r.bin").c_str()), 0);
    EXPECT_EQ(ReadText(inc + kSep + "a\nb\r.h"),
              "#ifndef __A_B__H__\r\n#define __A_B__H__\r\n" + kTemplate + Define("A", "1", "a") +
                  "\r\n\r\n#endif //" + inc + kSep + "a_b_.h\r\n");
#endif
    WriteFile(bin, one); // no BIN path: the loaded table's file name, extension included
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    check("", "strings.bin.h", "STRINGS_BIN");
}

TEST_F(HeaderWriterTest, CommentsFromTexts) {
    const std::string a8190(8190, 'a'), cang = "\x82\x7D"; // 倉, whose trail byte is a brace
    const std::string kZhong = "\xE4\xB8\xAD";             // 中 in UTF-8
    const std::string text9000 = std::string(2000, 'a') + "\r\n" + std::string(6998, 'b');
    const std::string comment = std::string(2000, 'a') + "__" + std::string(6189, 'b');
    std::string backslash = text9000, gbk4095, smileys8189 = "a";
    backslash[8190] = '\\'; // the last byte kept
    std::u16string smileys = u"a";
    for (int i = 0; i < 4095; ++i)
        gbk4095 += Gbk("中");
    for (int i = 0; i < 2100; ++i) {
        smileys += u"\U0001F600";
        if (i < 2047) // a pair of surrogates is one 4-byte UTF-8 character, never split
            smileys8189 += "\xF0\x9F\x98\x80";
    }
    const std::tuple<Bytes, int, unsigned, std::string> rows[] = {
        // record, wide, code page
        {RecordA("M", text9000), 0, 936, comment},
        {RecordA("M", text9000.substr(0, 8191)), 0, 936, comment},
        {RecordA("M", text9000.substr(0, 8192)), 0, 936, comment},
        {RecordA("M", backslash), 0, 936, comment.substr(0, 8190) + "\\|"},
        {RecordA("M", "C:?\?/"), 0, 936, "C:?\?/|"}, // "??/" is a trigraph backslash
        // Blanks between a backslash and the line end still continue the line.
        {RecordA("M", "C:\\dir\\ \t \v"), 0, 936, "C:\\dir\\ \t \v|"},
        {RecordA("M", "x?\?/  "), 0, 936, "x?\?/  |"},
        {RecordA("M", "a\\b  "), 0, 936, "a\\b  "},
        {RecordA("M", "\x95\x5C "), 0, 932, "\x95\x5C |"}, // a Shift-JIS trail byte 0x5C
        {RecordA("M", "\x95\x5C"), 0, 932, "\x95\x5C|"},
        {{2, 0, 'M', 0, 'n', 'o', 'z'}, 0, 936, "noz"}, // no terminator
        {RecordW("M", u"Hi"), 0, 936, "H"},
        // Cut before a character that would cross the limit; no lone lead byte at the end.
        {RecordA("M", a8190 + cang), 0, 936, a8190},
        {RecordA("M", a8190.substr(1) + cang + "b"), 0, 936, a8190.substr(1) + cang},
        {RecordA("M", "ab\x81"), 0, 936, "ab?"},
        {RecordA("M", "ab\x81\r"), 0, 936, "ab\x81_"}, // a whole character now
        {RecordA("M", "\x81\x81\x81"), 0, 936, "\x81\x81?"},
        {RecordA("M", "ab\x81"), 0, 1252, "ab\x81"},
        // Found sixteen bytes at a time: a zero byte or a line break in the last sixteen; a
        // lone lead after a run of double-byte bytes longer than that, also in Shift-JIS's
        // second run of lead bytes (E0-FC).
        {RecordA("M", std::string("0123456789abcdef01\0\r", 20)), 0, 936, "0123456789abcdef01"},
        {RecordA("M", "abcdefgh01234567\n12\r"), 0, 936, "abcdefgh01234567_12_"},
        {RecordA("M", std::string(37, '\x81')), 0, 936, std::string(36, '\x81') + "?"},
        {RecordA("M", "a" + std::string(71, '\x81')), 0, 936, "a" + std::string(70, '\x81') + "?"},
        {RecordA("M", std::string(35, '\xE0')), 0, 932, std::string(34, '\xE0') + "?"},
        // UTF-8 is cut before a character that would cross the limit.
        {RecordA("M", a8190 + kZhong), 0, 65001, a8190},
        {RecordA("M", a8190.substr(2) + kZhong + "b"), 0, 65001, a8190.substr(2) + kZhong},
        // Wide texts, converted to the ANSI code page.
        {RecordW("M", u"\u4E2D\u6587\r\nA\\"), 1, 936, Gbk("中文") + "__A\\|"},
        {RecordW("M", u"A\\\t"), 1, 936, "A\\\t|"},
        {RecordW("M", std::u16string(u"\0x", 2)), 1, 936, ""},
        {{2, 0, 'M', 0, 'n', 0, 'o'}, 1, 936, "n"}, // no terminator, odd size
        {RecordW("M", std::u16string(5000, u'\u4E2D')), 1, 936, gbk4095},
        {RecordW("M", std::u16string(9000, u'w')), 1, 936, std::string(8191, 'w')},
        {RecordW("M", smileys), 1, 65001, smileys8189},
    };
    int row = 0;
    for (auto const &[record, wide, codePage, expected] : rows) {
        Ril_SetAnsiCodePage(codePage);
        EXPECT_EQ(CommentOf(record, wide), expected) << row++;
    }
    ExpectNotice("");
}

// Refusals and failures report and keep the previous header, leaving no temporary file.
TEST_F(HeaderWriterTest, FailuresReportAndKeepThePreviousHeader) {
    WriteFile(header, std::string("old"));
    // clang-format off
    WriteFile(bin, BinBuilder().Header(1, 9, 6).EntryA(1, "OK_1", "a")
                       .EntryA(2, "X 5\r\n#include <evil.h>", "b").EntryA(3, "lower_case", "c")
                       .EntryA(4, "A-B", "d").EntryA(5, Gbk("宏"), "e").EntryA(9, "AZ_az09", "f").Get());
    // clang-format on
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, bin.c_str()), -203);
    EXPECT_EQ(Ril_GetLastError(), -203);
    ExpectNotice(Printf(msg::kHeaderMacroNotIdentifier, header.c_str(), "2, 4, 5"));
    WriteFile(bin, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    EXPECT_EQ(Ril_WriteHeaderFile(nullptr, 0, bin.c_str()), -102);
    EXPECT_EQ(Ril_WriteHeaderFile("", 0, nullptr), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    ExpectNotice("");
    EXPECT_EQ(Ril_WriteHeaderFile(inc.c_str(), 0, nullptr), -102);
    ExpectNotice(msg::kNoBinNoTable);
    EXPECT_EQ(ReadText(header), "old");
    // An entry that cannot be read, found while the lines are written, or before an error of
    // the header's own (a folder that does not exist): the BIN's fault is the one reported.
    WriteFile(bin, BinBuilder().Header(1, 1, 2).EntryA(1, "A", "a").EntryA(50, "B", "b").Get());
    for (std::string const &folder : {inc, dir.File("missing")}) {
        EXPECT_EQ(Ril_WriteHeaderFile(folder.c_str(), 0, bin.c_str()), -202);
        ExpectNotice(Printf(msg::kReadEntryFailed, 50u));
    }
    EXPECT_EQ(ReadText(header), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(inc), {}), 1); // no temporary file
}

} // namespace
} // namespace ril::test
