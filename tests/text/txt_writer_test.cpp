// Ril_ExportResFromBinToTxt: the text file byte for byte in both flavours, the items the
// format cannot hold, and the ways out that no other writer shares.
#include "core/messages.h"
#include "core/write_settings.h"
#include "support/random_table.h"
#include "support/test_support.h"

#include <regex>

using namespace ril::core;

namespace ril::test {
namespace {

std::u16string Block(unsigned id, std::string const &macro, std::u16string const &text) {
    return TableBlock({std::to_string(id), macro, text});
}
std::u16string Banner(bool wide) {
    return Units(std::string("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n"
                             "//Maker: the Ril4410 string-resource library, exporting a BIN string "
                             "table\r\n//Author: the Ril4410 developers\r\n\r\n//Type = ") +
                 (wide ? "WCS" : "MBCS") + "\r\n<date>");
}

class TxtWriterTest : public LibraryTest {
  protected:
    TxtWriterTest() : LibraryTest(936) {}
    // The exported file as units (bytes, or UTF-16LE after the mark), its date line checked
    // against today and replaced by "<date>".
    std::u16string Exported(bool wide) {
        const Bytes file = ReadFile(txt);
        EXPECT_EQ(wide, file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE);
        std::u16string units;
        for (std::size_t i = wide ? 2 : 0; i < file.size(); i += wide ? 2 : 1)
            units.push_back(wide ? char16_t(file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0))
                                 : char16_t(file[i]));
        EXPECT_EQ(units.find(u'\xFEFF'), std::u16string::npos);
        const std::size_t at = units.find(u"//ExportDate: "),
                          end = units.find(u"\"\r\n\r\n\r\n", at);
        if (end == std::u16string::npos)
            return ADD_FAILURE() << "no date line", units;
        const std::string date(units.begin() + long(at), units.begin() + long(end) + 1);
        // The stamping clock's day (SOURCE_DATE_EPOCH's when set), no leading zeros.
        const platform::LocalTime today = StampTime();
        EXPECT_TRUE(std::regex_match(
            date, std::regex("//ExportDate: " + std::to_string(today.year) + "-" +
                             std::to_string(today.month) + "-" + std::to_string(today.day) +
                             " ([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9])'([0-9]|[1-5][0-9])\"")))
            << date;
        return units.replace(at, end + 7 - at, u"<date>");
    }
    std::string bin = dir.File("strings.bin");
    std::string txt = dir.File("strings.txt");
};

// clang-format off
// The banner and date line of both flavours and the items in file order; the texts themselves
// are pinned by the round trip. Each text ends where its record ends: as MBCS at the first zero
// byte; multibyte records as WCS, texts without a terminator, a macro length beyond the record.
TEST_F(TxtWriterTest, BothFlavoursByteForByte) {
    WriteFile(bin, BinBuilder().Header(1, 1004, 5).EntryA(1004, "EMPTY", "").EntryA(3, "GBK", Gbk("中文"))
                       .Entry(2, {2, 0, 'B', 0, 'x', 0, 'y'}).Entry(8, {2, 0, 'C', 0, 'x', 'y', 'z'})
                       .Entry(9, {0x50, 0, 'D', 'E'}).Trailer("h").Get());
    // Without a target nothing is read or shown, and the last error is -102 until a success.
    EXPECT_EQ(Ril_ExportResFromBinToTxt(nullptr, 0, bin.c_str()), -102);
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, bin.c_str()), 0);
    EXPECT_EQ(Ril_GetLastError(), 0);
    EXPECT_EQ(Exported(false), Banner(false) + Block(1004, "EMPTY", u"") + Block(3, "GBK", Units(Gbk("中文"))) +
                                   Block(2, "B", u"x") + Block(8, "C", u"xyz") + Block(9, "DE", u""));
    ExpectNotice("");
    EXPECT_EQ(FilesInDir(), 2u); // no temporary file left behind
    WriteFile(bin, BinBuilder().Header(1, 7, 4).EntryW(7, "W", u"\u4E2D").EntryW(6, Gbk("宏"), u"m").EntryA(1, "A", "abc")
                       .Entry(3, {2, 0, 'C', 0, 'x', 'y', 'z'}).Get());
    ASSERT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 7, bin.c_str()), 0); // any flag but 0
    EXPECT_EQ(Exported(true), Banner(true) + Block(7, "W", u"\u4E2D") + Block(6, "", u"m").insert(29, u"\u5B8F") +
                                  Block(1, "A", u"\u6261\u0063") + Block(3, "C", u"\u7978"));
    // A BIN that cannot be opened: its notice and result, and the previous file stays.
    const Bytes previous = ReadFile(txt);
    const std::string missing = dir.File("missing.bin");
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, missing.c_str()), -202);
    EXPECT_EQ(Ril_GetLastError(), -202);
    ExpectNotice(Printf(msg::kCannotOpen, missing.c_str()));
    EXPECT_EQ(ReadFile(txt), previous);
}

// A text with a brace (a byte that starts a character, or a wide unit), a text whose last
// lead byte would take the closing brace for its trail, and a macro with a line break would
// read back as other items: the export names them and leaves the previous file.
TEST_F(TxtWriterTest, ItemsTheFormatCannotHoldAreRefused) {
    const std::string cang = "\x82\x7D"; // 倉
    const std::tuple<unsigned, int, Bytes, const char *> rows[] = {
        // code page, wide, BIN, the IDs named (null: the export succeeds)
        {936, 0, BinBuilder().Header(1, 9, 8).EntryA(1, "OK", cang + "\x81\r\n")
             .EntryA(2, "B", "a}b").EntryA(3, "C", "a{").EntryA(4, "D", "a" + cang + "\x81")
             .EntryA(5, "E\rF", "e")
             .EntryA(6, "OK2", cang).EntryA(7, "G", "\x81\x81\x81").EntryA(8, "H", "{").Get(),
         "2, 3, 4, 5, 7, 8"},
        {949, 0, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "\xB0").Get(), nullptr},
        {949, 0, BinBuilder().Header(1, 2, 1).EntryA(2, "A", "\xB0}").Get(), "2"},
        {1252, 0, BinBuilder().Header(1, 1, 2).EntryA(1, "A", "\x82").EntryA(3, "B", "\x82}").Get(),
         "3"},
        {65001, 0, BinBuilder().Header(1, 1, 1).EntryA(1, "A", "\xE5\x80").Get(), nullptr},
        {936, 1, BinBuilder().Header(1, 4, 4).EntryW(1, "A", u"\u7D7B\u7B7D")
             .EntryW(2, "B", u"a\u007D").EntryW(3, "C\nD", u"c").EntryW(4, "E", u"{").Get(),
         "2, 3, 4"},
    };
    const Bytes previous = {'o', 'l', 'd'};
    for (const auto &[codePage, wide, file, refused] : rows) {
        SCOPED_TRACE(codePage);
        Ril_SetAnsiCodePage(codePage);
        WriteFile(txt, previous);
        WriteFile(bin, file);
        const RIL_LONG result = Ril_ExportResFromBinToTxt(txt.c_str(), wide, bin.c_str());
        EXPECT_EQ(std::make_tuple(result, Ril_GetLastError(), ReadFile(txt) == previous),
                  std::make_tuple(refused ? -203 : 0, refused ? -203 : 0, refused != nullptr));
        ExpectNotice(refused ? Printf(msg::kExportCannotHold, txt.c_str(), refused) : "");
        EXPECT_EQ(FilesInDir(), 2u);
    }
}

// clang-format on

} // namespace
} // namespace ril::test
