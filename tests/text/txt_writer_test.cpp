// Ril_ExportResFromBinToTxt and SaveTxt: the text file byte for byte in both
// flavours, and every way out with its message, result and the file left behind.
#include "core/messages.h"
#include "platform/fault.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>

namespace ril::test {
namespace {

const std::string kSlashes(77, '/');

// Bytes (MBCS) or UTF-16LE units (WCS) of a file as 16-bit units, compared as one string.
std::u16string Units(const Bytes &file, bool wide) {
    std::u16string units;
    for (std::size_t i = 0; i < file.size(); i += wide ? 2 : 1)
        units.push_back(
            wide ? static_cast<char16_t>(file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0))
                 : static_cast<char16_t>(file[i]));
    return units;
}
std::u16string U(const std::string &bytes) {
    return Units(Bytes(bytes.begin(), bytes.end()), false);
}

std::u16string Banner(bool wide) {
    return U(
        std::string("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n"
                    "//Maker: the Ril4410 string-resource library, exporting a BIN string table\r\n"
                    "//Author: the Ril4410 developers\r\n\r\n//Type = ") +
        (wide ? "WCS" : "MBCS") + "\r\n<date>");
}
std::u16string Head(unsigned id, const std::u16string &macro) {
    return U("RilStringID=" + std::to_string(id) + ";RilStringMacro=") + macro +
           U("\r\n" + kSlashes + "\r\n{");
}
std::u16string Block(unsigned id, const std::string &macro, const std::u16string &text) {
    return Head(id, U(macro)) + text + U("}\r\n\r\n");
}

class TxtWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override {
        platform::DisarmAllFaults();
        Ril_UnloadRes();
        Ril_SetAnsiCodePage(codePage);
    }
    // The exported file as units, its date line checked and replaced by "<date>".
    std::u16string Exported(bool wide) {
        Bytes file = ReadFile(txt);
        if (wide) {
            EXPECT_TRUE(file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE);
            file.erase(file.begin(), file.begin() + 2);
        }
        std::u16string units = Units(file, wide);
        EXPECT_EQ(units.find(u'\xFEFF'), std::u16string::npos);
        std::size_t at = units.find(u"//ExportDate: ");
        std::size_t end = units.find(u"\"\r\n\r\n\r\n", at);
        if (at == std::u16string::npos || end == std::u16string::npos) {
            ADD_FAILURE() << "no date line";
            return units;
        }
        std::string date(units.begin() + static_cast<long>(at),
                         units.begin() + static_cast<long>(end) + 1);
        // Today's date (the day of the month, not of the week) and a time without leading zeros.
        std::time_t now = std::time(nullptr);
        const std::tm *today = std::localtime(&now);
        std::string day = "//ExportDate: " + std::to_string(today->tm_year + 1900) + "-" +
                          std::to_string(today->tm_mon + 1) + "-" + std::to_string(today->tm_mday);
        EXPECT_TRUE(std::regex_match(
            date,
            std::regex(day + " ([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9])'([0-9]|[1-5][0-9])\"")))
            << date;
        return units.replace(at, end + 7 - at, u"<date>");
    }
    void ExpectNotice(const std::string &message) {
        ASSERT_EQ(notices.Notices().size(), 1u);
        EXPECT_EQ(notices.Notices()[0].caption, "Error:");
        EXPECT_EQ(notices.Notices()[0].message, message)
            << Utf8FromGbk(notices.Notices()[0].message);
        notices.Clear();
    }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
    }

    TempDir dir;
    std::string bin = dir.File("strings.bin");
    std::string txt = dir.File("strings.txt");
    NoticeCapture notices;
    unsigned codePage = Ril_SetAnsiCodePage(936);
};

TEST_F(TxtWriterTest, MbcsFileByteForByte) {
    WriteFile(bin, BinBuilder()
                       .Header(1, 1004, 4)
                       .EntryA(1001, "APP_TITLE", "Sample text")
                       .EntryA(1002, "ERR_OPEN", "First line\r\nsecond line")
                       .EntryA(1004, "EMPTY", "")
                       .EntryA(3, "GBK", Gbk("中文 倉倇")) // trail bytes 7D and 7B
                       .Trailer("h")
                       .Get());
    Ril_ExportResFromBinToTxt(nullptr, 0, nullptr); // the last error is now -102
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), 0);
    EXPECT_EQ(Exported(false), Banner(false) + Block(1001, "APP_TITLE", u"Sample text") +
                                   Block(1002, "ERR_OPEN", u"First line\r\nsecond line") +
                                   Block(1004, "EMPTY", u"") +
                                   Block(3, "GBK", U(Gbk("中文 倉倇"))));
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_EQ(FilesInDir(), 2u); // no temporary file left behind

    // An empty BIN: the banner and the date line and nothing else.
    WriteFile(bin, BinBuilder().Header(1, 0, 0).Trailer("h").Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Exported(false), Banner(false));
}

TEST_F(TxtWriterTest, WcsFileByteForByte) {
    WriteFile(bin, BinBuilder()
                       .Header(1, 1001, 4)
                       .EntryW(1001, "APP_TITLE", u"Sample text")
                       .EntryW(7, "TWO_LINES", u"\u4E2D\u6587\r\nx\U0001F600")
                       .EntryW(5, "", u"")
                       .EntryW(6, Gbk("宏"), u"m")
                       .Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 1, bin.c_str()), 0);
    EXPECT_EQ(Exported(true), Banner(true) + Block(1001, "APP_TITLE", u"Sample text") +
                                  Block(7, "TWO_LINES", u"\u4E2D\u6587\r\nx\U0001F600") +
                                  Block(5, "", u"") + Head(6, u"\u5B8F") + u"m}\r\n\r\n");

    WriteFile(bin, BinBuilder().Header(1, 0, 0).Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 7, bin.c_str()), 0);
    EXPECT_EQ(Exported(true), Banner(true));
}

TEST_F(TxtWriterTest, TextsEndWithinTheirRecord) {
    // UTF-16 records written as MBCS stop at the first zero byte.
    WriteFile(bin, BinBuilder().Header(1, 2, 1).EntryW(2, "W", u"Hi").Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Exported(false), Banner(false) + Block(2, "W", u"H"));

    // Multibyte records written as WCS, texts without a terminator, a macro length beyond
    // the record: each text ends where its record ends.
    WriteFile(bin, BinBuilder()
                       .Header(1, 4, 4)
                       .EntryA(1, "A", "abc")
                       .Entry(2, {2, 0, 'B', 0, 'x', 0, 'y'})
                       .Entry(3, {2, 0, 'C', 0, 'x', 'y', 'z'})
                       .Entry(4, {0x50, 0, 'D', 'E'})
                       .Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 1, bin.c_str()), 0);
    EXPECT_EQ(Exported(true), Banner(true) + Block(1, "A", u"\u6261\u0063") + Block(2, "B", u"x") +
                                  Block(3, "C", u"\u7978") + Block(4, "DE", u""));
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Exported(false), Banner(false) + Block(1, "A", u"abc") + Block(2, "B", u"x") +
                                   Block(3, "C", u"xyz") + Block(4, "DE", u""));
}

TEST_F(TxtWriterTest, TheLoadedTablesFileAndTheRoundTrip) {
    WriteFile(bin, BinBuilder()
                       .Header(1, 9, 2)
                       .EntryA(1, "ONE", Gbk("中\r\n1"))
                       .EntryA(9, "NINE", "9\\")
                       .Get());
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, nullptr), 0);
    EXPECT_EQ(Exported(false),
              Banner(false) + Block(1, "ONE", U(Gbk("中\r\n1"))) + Block(9, "NINE", u"9\\"));
    Ril_UnloadRes();
    // Unloaded (its path still remembered): no BIN to read.
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, nullptr), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    ExpectNotice(msg::kNoBinNoTable);
}

// A text with a brace (a byte that starts a character, or a wide unit), a text whose last
// lead byte would take the closing brace for its trail, and a macro with a line break would
// read back as other items: the export names them and leaves the previous file.
TEST_F(TxtWriterTest, ItemsTheFormatCannotHoldAreRefused) {
    struct Row {
        unsigned codePage;
        int wide;
        BinBuilder bin;
        const char *refused; // the IDs named, or null when the export succeeds
    };
    const std::string cang = "\x82\x7D"; // 倉
    Row rows[] = {
        {936, 0,
         BinBuilder()
             .Header(1, 9, 8)
             .EntryA(1, "OK", cang + "\x81\r\n")
             .EntryA(2, "B", "a}b")
             .EntryA(3, "C", "a{")
             .EntryA(4, "D", "a" + cang + "\x81")
             .EntryA(5, "E\rF", "e")
             .EntryA(6, "OK2", cang)
             .EntryA(7, "G", "\x81\x81\x81")
             .EntryA(8, "H", "{"),
         "2, 3, 4, 5, 7, 8"},
        {949, 0, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "\xB0"), nullptr},
        {949, 0, BinBuilder().Header(1, 2, 1).EntryA(2, "A", "\xB0}"), "2"},
        {1252, 0, BinBuilder().Header(1, 1, 2).EntryA(1, "A", "\x82").EntryA(3, "B", "\x82}"), "3"},
        {65001, 0, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "\xE5\x80"),
         nullptr}, // no lead bytes
        {936, 1,
         BinBuilder()
             .Header(1, 4, 4)
             .EntryW(1, "A", u"\u7D7B\u7B7D")
             .EntryW(2, "B", u"a\u007D")
             .EntryW(3, "C\nD", u"c")
             .EntryW(4, "E", u"{"),
         "2, 3, 4"},
    };
    const Bytes previous = {'o', 'l', 'd'};
    for (Row &row : rows) {
        SCOPED_TRACE(row.codePage);
        Ril_SetAnsiCodePage(row.codePage);
        WriteFile(txt, previous);
        WriteFile(bin, row.bin.Get());
        if (row.refused == nullptr) {
            EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), row.wide, bin.c_str()), 0);
            EXPECT_NE(ReadFile(txt), previous);
            EXPECT_TRUE(notices.Notices().empty());
            continue;
        }
        EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), row.wide, bin.c_str()), -203);
        EXPECT_EQ(Ril_GetLastError(), -203);
        ExpectNotice(Printf(msg::kExportCannotHold, txt.c_str(), row.refused));
        EXPECT_EQ(ReadFile(txt), previous);
        EXPECT_EQ(FilesInDir(), 2u);
    }
}

TEST_F(TxtWriterTest, FailuresReportAndKeepThePreviousFile) {
    const Bytes previous = {'o', 'l', 'd'};
    WriteFile(txt, previous);
    WriteFile(bin, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    EXPECT_EQ(Ril_ExportResFromBinToTxt(nullptr, 0, bin.c_str()), -102);
    EXPECT_EQ(Ril_ExportResFromBinToTxt(nullptr, 0, nullptr), -102);
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_TRUE(notices.Notices().empty());
    std::string missing = dir.File("missing.bin");
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, missing.c_str()), -202);
    EXPECT_EQ(Ril_GetLastError(), -202);
    ExpectNotice(Printf(msg::kCannotOpen, missing.c_str()));
    WriteFile(missing, BinBuilder().Header(1, 1, 2).EntryA(1, "A", "a").Get());
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 1, missing.c_str()), -202);
    ExpectNotice(Printf(msg::kReadEntryFailed, 0xFFFFFFFFu));
    EXPECT_EQ(ReadFile(txt), previous);

    std::string nowhere = dir.File("no/such.txt");
    EXPECT_EQ(Ril_ExportResFromBinToTxt(nowhere.c_str(), 0, bin.c_str()), -203);
    EXPECT_EQ(Ril_GetLastError(), -203);
    ExpectNotice(Printf(msg::kCannotOpenText, nowhere.c_str()));
    platform::ArmFault(platform::Fault::FileOpen, 2); // the BIN opens, the text file does not
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), -203);
    ExpectNotice(Printf(msg::kCannotOpenText, txt.c_str()));

    // The BIN's own close comes first: the second close is the new file's.
    for (auto [fault, countdown] :
         {std::pair{platform::Fault::FileWrite, 1}, std::pair{platform::Fault::FileClose, 2}}) {
        platform::ArmFault(fault, countdown);
        EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 1, bin.c_str()), -203);
        platform::DisarmAllFaults();
        EXPECT_EQ(Ril_GetLastError(), -203);
        ExpectNotice(msg::kTextWriteFailed);
        EXPECT_EQ(ReadFile(txt), previous);
        EXPECT_EQ(FilesInDir(), 3u); // strings.bin, missing.bin, strings.txt
    }
}

} // namespace
} // namespace ril::test
