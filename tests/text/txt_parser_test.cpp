// Tests of the text resource file parser: items and records byte for byte, ID numbering,
// every message with its arguments and channel, failures, and the brace search itself.
#include "text/txt_parser.h"

#include "platform/fault.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <tuple>

namespace ril::test {
namespace {

using namespace std::string_literals;
using Item = std::tuple<std::uint32_t, std::string, Bytes>; // ID, multibyte macro, record
using Items = std::vector<Item>;
using Texts = std::vector<std::string>;

// A message given in UTF-8 with printf arguments, as the GBK bytes the library writes.
std::string Msg(const char *utf8Format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, utf8Format);
    std::vsnprintf(buffer, sizeof buffer, utf8Format, args);
    va_end(args);
    return Gbk(buffer);
}
std::string Line(const std::string &gbk) {
    return gbk + "\r\n";
}
// Text as UTF-16LE bytes, with or without the byte-order mark FF FE.
Bytes Utf16(const std::u16string &text, bool bom = true) {
    Bytes bytes = bom ? Bytes{0xFF, 0xFE} : Bytes{};
    for (char16_t unit : text)
        bytes.insert(bytes.end(), {std::uint8_t(unit & 0xFF), std::uint8_t(unit >> 8)});
    return bytes;
}
std::u16string U16(const std::string &ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}
Item A(std::uint32_t id, const std::string &macro, const std::string &text) {
    return {id, macro, RecordA(macro, text)};
}
Item W(std::uint32_t id, const std::string &macro, const std::u16string &text) {
    return {id, macro, RecordW(macro, text)};
}
// A file of one item per ID as written, with the macros M1, M2, ... and the text t.
std::string IdsFile(const std::vector<std::string> &ids) {
    std::string file;
    for (std::size_t i = 0; i < ids.size(); ++i)
        file +=
            "RilStringID=" + ids[i] + ";RilStringMacro=M" + std::to_string(i + 1) + "\r\n{t}\r\n";
    return file;
}

class TxtParser : public LibraryTest {
  protected:
    int Load(const Bytes &content, int wide = 0, bool withLog = true) {
        WriteFile(path_, content);
        return LoadTxt(list_, path_.c_str(), wide, withLog ? log_.c_str() : nullptr);
    }
    int Load(const std::string &content, int wide = 0, bool withLog = true) {
        return Load(Bytes(content.begin(), content.end()), wide, withLog);
    }
    // Empties the list, the captured notices and the log.
    void Clear() {
        list_.List().clear();
        notices.Clear();
        std::filesystem::remove(log_);
    }
    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const auto &item : list_.List())
            ids.push_back(item->ID);
        return ids;
    }
    Items Got() const {
        Items items;
        for (const auto &item : list_.List())
            items.emplace_back(item->ID, item->Macro,
                               Bytes(item->Record.get(), item->Record.get() + item->RecordSize));
        return items;
    }
    // The messages of the notices shown since the last call, each checked to be an "Error:".
    Texts Shown() {
        Texts shown;
        for (const auto &notice : notices.Notices())
            shown.push_back(notice.caption == "Error:" ? notice.message : "<caption>");
        notices.Clear();
        return shown;
    }
    std::string path_ = dir.File("res.txt");
    std::string log_ = dir.File("import.log");
    CRilTxtLoader list_;
};

// The exporter's layout (banner, type line, lines of slashes) is read through the round-trip
// test; here the short form, whose type line does not decide the flavour.
const std::string kShortFile = "//Type = WCS\r\nRilStringID=1001 RilStringMacro=APP_TITLE\r\n"
                               "{Sample text}\r\nRilStringID=1002\r\nRilStringMacro=ERR_OPEN\r\n"
                               "{First line\r\nsecond line}";

TEST_F(TxtParser, ReadsTheExporterLayoutAndTheShortForm) {
    ASSERT_EQ(1, Load(kShortFile));
    EXPECT_EQ(Got(), (Items{A(1001, "APP_TITLE", "Sample text"),
                            A(1002, "ERR_OPEN", "First line\r\nsecond line")}));
    EXPECT_EQ(u"APP_TITLE", Wide(list_.List().front()->MacroW));
    EXPECT_EQ(Line("black Num: 0"), ReadText(log_));
    EXPECT_EQ(Shown(), Texts{});
    for (int wide : {1, 0}) { // the same items in the WCS flavour, whatever the caller's flag
        list_.List().clear();
        ASSERT_EQ(1, Load(Utf16(U16(kShortFile)), wide));
        EXPECT_EQ(Got(), (Items{W(1001, "APP_TITLE", u"Sample text"),
                                W(1002, "ERR_OPEN", u"First line\r\nsecond line")}));
    }
}

TEST_F(TxtParser, ReadingRules) {
    // No keyword at all: no items, success, and the gap count; without a log, as a notice.
    ASSERT_EQ(1, Load(std::string("\xEF\xBB\xBF//just a comment\r\n{x}\r\n"), 0, false));
    EXPECT_EQ(Got(), Items{});
    EXPECT_EQ(Shown(), Texts{"black Num: 0"});
    ASSERT_EQ(1, Load("RilStringID=1001;RilStringMacro=ABC ;\r\n{}\r\n"
                      "RilStringID=1002;RilStringMacro=B\r\n{ab}cd}\r\n\r\n"
                      "RilStringID=1003RilStringMacro=C\n{x}" // nothing else is required
                      "RilStringID=0x10;RilStringMacro=D\r\n{}"));
    EXPECT_EQ(Got(),
              (Items{A(1001, "ABC ;", ""), A(1002, "B", "ab"), A(1003, "C", "x"), A(0, "D", "")}));
    EXPECT_EQ(Line("black Num: -1004"), ReadText(log_));
    // An item without a macro keyword takes the next item's macro and text.
    list_.List().clear();
    ASSERT_EQ(1, Load("RilStringID=1001\r\n{lost}\r\nRilStringID=1005;RilStringMacro=B\r\n{x}"));
    EXPECT_EQ(Got(), Items{A(1001, "B", "x")});
    // A zero byte inside a text is copied; outside a text it ends the keyword search.
    list_.List().clear();
    ASSERT_EQ(1, Load("RilStringID=1001;RilStringMacro=Z\r\n{a\0b}\0"
                      "RilStringID=1002;RilStringMacro=Y\r\n{c}"s));
    ASSERT_EQ(1, Load(Utf16(u"RilStringID=7;RilStringMacro=W\n{a\0b}"s), 1));
    EXPECT_EQ(Got(), (Items{A(1001, "Z", "a\0b"s), W(7, "W", u"a\0b"s)}));
    EXPECT_EQ(Shown(), Texts{});
}

TEST_F(TxtParser, GbkAndWideMacrosGetBothForms) {
    Ril_SetAnsiCodePage(936);
    EXPECT_EQ(1, Load("RilStringID=1001;RilStringMacro=" + Gbk("标题") + "\r\n{x}"));
    EXPECT_EQ(1, Load(Utf16(u"RilStringID=1002;RilStringMacro=宏\r\n{y}")));
    EXPECT_EQ(Got(), (Items{A(1001, Gbk("标题"), "x"), W(1002, Gbk("宏"), u"y")}));
    EXPECT_EQ(u"标题", Wide(list_.List().front()->MacroW));
}

TEST_F(TxtParser, NumbersItemsThatAskForNewIds) {
    struct Row {
        std::vector<std::string> ids;
        std::vector<std::uint32_t> numbered;
        const char *gaps; // the gap count the log reports
    };
    const Row rows[] = {
        {{"1001", "1002", "1003"}, {1001, 1002, 1003}, "0"},
        {{"1001", "1003", "196607", "196607"}, {1001, 1003, 1002, 1004}, "195603"},
        {{"1005", "1010", "-1"}, {1005, 1010, 1001}, "-1004"},
        {{"1010", "1005"}, {1010, 1005}, "3"}, // 9, then lowered by 6
        {{"1003", "1006", "-1", "196608", "-1", "4294967295"},
         {1003, 1006, 1001, 1002, 1004, 1005},
         "2147482641"},
        // Numbers beyond 32 bits are clamped: 2147483647, then -2147483648.
        {{"1001", "99999999999", "-99999999999"}, {1001, 1002, 1003}, "2147482645"},
        // A gap of two thousand million numbers costs nothing.
        {{"1001", "2000000000", "-1", " +1004"}, {1001, 1002, 1003, 1004}, "0"},
    };
    for (const Row &row : rows) {
        Clear();
        ASSERT_EQ(1, Load(IdsFile(row.ids)));
        EXPECT_EQ(std::make_tuple(Ids(), ReadText(log_), Shown()),
                  std::make_tuple(row.numbered, Line("black Num: "s + row.gaps), Texts{}));
    }
}

TEST_F(TxtParser, NewIdWithAnEmptyPoolFailsTheLoad) {
    const char *kNoFreeId = "位于 0x%x 的项需要新ID, 但它之前的ID之间已没有空闲的ID!";
    const std::string file = IdsFile({"1001", "1002", "1003", "-1"}); // leaves the pool empty
    EXPECT_EQ(0, Load(file));
    EXPECT_EQ((std::vector<std::uint32_t>{1001, 1002, 1003}), Ids());
    EXPECT_EQ(Line(Msg(kNoFreeId, unsigned(file.rfind("RilStringID=") + 12))), ReadText(log_));
    list_.List().clear();
    EXPECT_EQ(0, Load(Utf16(u"RilStringID=-1;RilStringMacro=A\r\n{x}"), 1, false));
    EXPECT_EQ(Got(), Items{});
    EXPECT_EQ(Shown(), Texts{Msg(kNoFreeId, 26u)}); // the mark counts: (1 + 12) x 2
}

TEST_F(TxtParser, LongMacrosAreCutWithAWarning) {
    const char *kWarning = "警告: 发现ID=%u的项,超长的宏在 0x%x";
    const std::string m127(127, 'M'), n130(130, 'N'), n127(127, 'N');
    const std::string file = "RilStringID=1003;RilStringMacro=" + m127 + "\r\n{a}\r\n" +
                             "RilStringID=-1;RilStringMacro=" + n130 + "\r\n{b}\r\n";
    const unsigned second = unsigned(file.find(n130));
    ASSERT_EQ(1, Load(file));
    EXPECT_EQ(Got(), (Items{A(1003, m127, "a"), A(1001, n127, "b")}));
    // The offset is that of the second character after the last one copied.
    EXPECT_EQ(Line(Msg(kWarning, 1003u, 32u + 128)) + Line(Msg(kWarning, 1001u, second + 128)) +
                  Line("black Num: -1003"),
              ReadText(log_));
    Clear(); // in a WCS file the mark counts and every offset is even
    ASSERT_EQ(1, Load(Utf16(U16(file)), 1));
    EXPECT_EQ(Line(Msg(kWarning, 1003u, 2 * (1 + 32u + 128))) +
                  Line(Msg(kWarning, 1001u, 2 * (1 + second + 128))) + Line("black Num: -1003"),
              ReadText(log_));
    EXPECT_EQ(Got(), (Items{W(1003, m127, u"a"), W(1001, n127, u"b")}));
}

TEST_F(TxtParser, FileReadingFailuresLeaveTheListAsItWas) {
    list_.Append(std::make_unique<RilStrRes>());
    const std::string missing = dir.File("missing.txt");
    EXPECT_EQ(0, LoadTxt(list_, missing.c_str(), 0, log_.c_str()));
    EXPECT_EQ(0, Load(std::string("R")));
    EXPECT_EQ(0, Load(std::string()));
    EXPECT_EQ(0, Load(Bytes{0xFE, 0xFF, 'R', 0}, 1));
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(0, Load(IdsFile({"1001"})));
    platform::ArmFault(platform::Fault::FileRead, 1); // the one read of the file
    EXPECT_EQ(0, Load(IdsFile({"1001"})));
    platform::DisarmAllFaults();
    const std::string unreadable = Line(Msg("无法读取 %s !", path_.c_str()));
    EXPECT_EQ(Line(Msg("无法打开 %s !", missing.c_str())) + unreadable + unreadable +
                  Line(Msg("这是逆序 Unicode (U-) 文本,本软件不支持 %s !", path_.c_str())) +
                  Line(Msg("无法为Load %s 分配内存!", path_.c_str())) + unreadable,
              ReadText(log_));
    EXPECT_EQ(1u, list_.Count());
    EXPECT_EQ(Shown(), Texts{});
    // UTF-16 without a mark read as MBCS: the keyword search stops at the first zero byte.
    list_.List().clear();
    EXPECT_EQ(1, Load(Utf16(U16(IdsFile({"1001"})), false), 0));
    EXPECT_EQ(0u, list_.Count());
    EXPECT_EQ(1, Load(Utf16(U16(IdsFile({"1001"})), false), 1));
    EXPECT_EQ(1u, list_.Count());
}

TEST_F(TxtParser, BraceErrorsAreBoxedThenLogged) {
    const char *kTextNotFound = "寻找ID=%u,宏为 '%s' 的字串内容失败!";
    const std::string ok = "RilStringID=1001;RilStringMacro=OK\r\n{fine}\r\n";
    // An opening brace inside a text: without a log both reports are notices, in order.
    EXPECT_EQ(0, Load(ok + "RilStringID=1002;RilStringMacro=BAD\r\n{a{b}", 0, false));
    EXPECT_EQ(Shown(), (Texts{Msg("在寻找 } 时却碰到一个 { 位于 0x%x !", unsigned(ok.size() + 39)),
                              Msg(kTextNotFound, 1002u, "BAD")}));
    EXPECT_EQ(Got(), Items{A(1001, "OK", "fine")});
    // A closing brace before the opening one; with a log only the brace search is boxed.
    EXPECT_EQ(0, Load("RilStringID=5;RilStringMacro=X\r\n}{a}"));
    EXPECT_EQ(Shown(), Texts{Msg("在寻找 { 时却碰到一个 } 位于 0x%x !", 32u)});
    EXPECT_EQ(Line(Msg(kTextNotFound, 5u, "X")), ReadText(log_));
    for (int wide : {0, 1}) { // the end of the file inside a text, in both flavours
        Clear();
        const std::string file = "RilStringID=6;RilStringMacro=E\r\n{open";
        EXPECT_EQ(0, wide ? Load(Utf16(U16(file)), 1) : Load(file));
        EXPECT_EQ(Shown(), Texts{Msg("在寻找 } 时却碰到文件结尾")});
        EXPECT_EQ(Line(Msg(kTextNotFound, 6u, "E")), ReadText(log_));
    }
    // A wide opening brace inside a text: an even offset that counts the mark.
    EXPECT_EQ(0, Load(Utf16(u"RilStringID=6;RilStringMacro=E\r\n{o{"), 1));
    EXPECT_EQ(Shown(), Texts{Msg("在寻找 } 时却碰到一个 { 位于 0x%x !", 2u * 35)});
    // A file that ends right after the macro line: no box, only the log line.
    for (const char *file :
         {"RilStringID=7;RilStringMacro=F\r\n", "RilStringID=7;RilStringMacro=F"}) {
        Clear();
        EXPECT_EQ(0, Load(std::string(file)));
        EXPECT_EQ(std::make_pair(Shown(), ReadText(log_)),
                  std::make_pair(Texts{}, Line(Msg(kTextNotFound, 7u, "F"))));
    }
}

TEST_F(TxtParser, FailureKeepsEarlierItemsAndMessages) {
    WriteFile(log_, std::string("previous run\r\n"));
    const std::string m130(130, 'L'), m127(127, 'L');
    const std::string file = "RilStringID=1001;RilStringMacro=A\r\n{a}\r\nRilStringID=1002;"
                             "RilStringMacro=" +
                             m130 + "\r\n{b}\r\nRilStringID=1003\r\n{c}\r\n";
    EXPECT_EQ(0, Load(file));
    EXPECT_EQ(Got(), (Items{A(1001, "A", "a"), A(1002, m127, "b")}));
    EXPECT_EQ("previous run\r\n" +
                  Line(Msg("警告: 发现ID=%u的项,超长的宏在 0x%x", 1002u, 32u + 40 + 128)) +
                  Line(Msg("为ID=%u的项寻找宏失败在 0x%x", 1003u,
                           unsigned(file.find("RilStringID=1003") + 12))),
              ReadText(log_));
    // The buffer is allocated first, then each item and its record: the second item's
    // record (5), then the second item itself (4).
    for (int countdown : {5, 4}) {
        Clear();
        platform::ArmFault(platform::Fault::Alloc, countdown);
        EXPECT_EQ(0, Load(IdsFile({"1001", "1002", "1003"})));
        platform::DisarmAllFaults();
        EXPECT_EQ(std::make_tuple(Got(), ReadText(log_), Shown()),
                  std::make_tuple(Items{A(1001, "M1", "t")}, Line(Msg("为Ril String分配内存失败!")),
                                  Texts{}));
    }
}

// In the multibyte flavour a brace byte is a brace only where a character of the ANSI code
// page starts: the trail byte of a double-byte character is text.
TEST_F(TxtParser, BraceBytesInsideDoubleByteCharactersAreText) {
    const std::string cang = "\x82\x7D", qi = "\x82\x7B", ku = "\xBF\xE2"; // 倉 倇 库
    const std::tuple<unsigned, std::string, std::string> rows[] = {
        // code page, after "M", text
        {936, "\r\n{" + cang + ku + "}", cang + ku},
        {936, "\r\n{" + qi + "}", qi},
        {936, "\r\n{ab" + cang + "}\r\n", "ab" + cang}, // ends right after a brace trail
        {936, "\r\n" + qi + cang + "{x}", "x"},         // neither opens nor closes
        {936, "\r\n{a\x81\r\n}", "a\x81\r\n"},          // a lone lead byte
        {936, "\r\n{a\x81}b}", "a\x81}b"},              // 81 7D is a GBK character
        {949, "\r\n{\xB0}b}", "\xB0"},                  // no brace trails a UHC character
        {932, "\r\n{\x94\x7B\x93\x7D\x90\x7D}", "\x94\x7B\x93\x7D\x90\x7D"}, // 倍党図
        {950, "\r\n{\xA6\x7B\xA4\x7D}", "\xA6\x7B\xA4\x7D"},                 // 州弓
        {54936, "\r\n{\x81\x30\x81\x30" + cang + "\x81\x30}",
         "\x81\x30\x81\x30" + cang + "\x81\x30"},
        {1252, "\r\n{\x82}b}", "\x82"},
        {65001, "\r\n{\xE5\x80\x89}", "\xE5\x80\x89"},
    };
    for (const auto &[codePage, afterMacro, text] : rows) {
        Clear();
        Ril_SetAnsiCodePage(codePage);
        ASSERT_EQ(1, Load("RilStringID=1;RilStringMacro=M" + afterMacro +
                          "RilStringID=2;RilStringMacro=N\r\n{z}"));
        EXPECT_EQ(Got(), (Items{A(1, "M", text), A(2, "N", "z")})) << codePage;
    }
    // Errors still name the offset of the brace byte that starts a character.
    Ril_SetAnsiCodePage(936);
    EXPECT_EQ(0, Load("RilStringID=1;RilStringMacro=M\r\n{" + cang + "{" + cang + "}"));
    EXPECT_EQ(0, Load("RilStringID=1;RilStringMacro=M\r\n" + qi + "}{x}"));
    EXPECT_EQ(0, Load("RilStringID=1;RilStringMacro=M\r\n{a" + cang));
    EXPECT_EQ(Shown(), (Texts{Msg("在寻找 } 时却碰到一个 { 位于 0x%x !", 35u),
                              Msg("在寻找 { 时却碰到一个 } 位于 0x%x !", 34u),
                              Msg("在寻找 } 时却碰到文件结尾")}));
}

// The brace search on its own, each case in both widths (offsets double in the wide one).
struct BraceCase {
    std::string data;
    std::size_t start;
    long result; // a length, or one of the two outcomes
    const char *notice;
    unsigned offset; // in characters
};

template <typename Ch>
void CheckBraces(const BraceCase &c, const std::vector<Ch> &data, std::size_t count = SIZE_MAX) {
    NoticeCapture notices;
    std::size_t position = c.start;
    EXPECT_EQ(c.result, FindBracedText(data.data(), std::min(count, data.size()), position));
    if (c.result >= 0)
        EXPECT_EQ(c.data.find('{', c.start + 1) + 1, position);
    Texts shown;
    for (const auto &notice : notices.Notices())
        shown.push_back(notice.caption + notice.message);
    EXPECT_EQ(shown, c.notice ? Texts{"Error:" + Msg(c.notice, unsigned(c.offset * sizeof(Ch)))}
                              : Texts{});
}

TEST(BracedText, StartPositionRulesAndErrors) {
    const char *closeFirst = "在寻找 { 时却碰到一个 } 位于 0x%x !";
    const char *openInside = "在寻找 } 时却碰到一个 { 位于 0x%x !";
    const char *endOfData = "在寻找 } 时却碰到文件结尾";
    const long notFound = kBracedTextNotFound, error = kBracedTextError;
    const BraceCase cases[] = {
        {"\r\n/{text}rest", 0, 4, nullptr, 0},
        {"a{}", 0, 0, nullptr, 0},
        {"a{x\0y}"s, 0, 3, nullptr, 0}, // zeros do not end the search
        {"abc\r\n", 0, notFound, nullptr, 0},
        {"ab{", 2, notFound, nullptr, 0}, // the start is never taken as the opening brace
        {"ab{", 3, notFound, nullptr, 0},
        {"ab{", 99, notFound, nullptr, 0},
        {"{x}", 0, error, closeFirst, 2},
        {"a}{x}", 1, error, closeFirst, 1}, // but it is tested for a closing one
        {"ab}{x}", 0, error, closeFirst, 2},
        {"a{{", 0, error, openInside, 2},
        {"a{x{y}", 0, error, openInside, 3},
        {"a{", 0, error, endOfData, 0},
        {"a{xy", 0, error, endOfData, 0},
    };
    for (const BraceCase &c : cases) {
        SCOPED_TRACE(c.data);
        CheckBraces(c, std::vector<unsigned char>(c.data.begin(), c.data.end()));
        CheckBraces(c, std::vector<std::uint16_t>(c.data.begin(), c.data.end()));
    }
    // The count bounds the search, not the data that lies beyond it.
    CheckBraces({"a{x", 0, error, endOfData, 0}, std::vector<std::uint16_t>{'a', '{', 'x', '}'}, 3);
}

} // namespace
} // namespace ril::test
