// Tests of the text resource file parser: items and records byte for byte, ID numbering,
// every message with its arguments and channel, failures, and the brace search.
#include "text/txt_parser.h"

#include "core/messages.h"
#include "platform/fault.h"
#include "support/random_table.h"
#include "support/test_support.h"

#include <tuple>

using namespace ril::core;
using namespace ril::items;
using namespace ril::text;

namespace ril::test {
namespace {

using namespace std::string_literals;
using Items = std::vector<ItemRow>;
using Texts = std::vector<std::string>;

ItemRow A(std::uint32_t id, std::string const &macro, std::string const &text) {
    return {id, macro, RecordA(macro, text)};
}
// A file of one item per ID as written, with the macros M1, M2, ... and the text t.
std::string IdsFile(std::vector<std::string> const &ids) {
    std::string file;
    for (std::size_t i = 0; i < ids.size(); ++i)
        file +=
            "RilStringID=" + ids[i] + ";RilStringMacro=M" + std::to_string(i + 1) + "\r\n{t}\r\n";
    return file;
}

class TxtParser : public LibraryTest {
  protected:
    int Load(std::string const &content, int wide = 0, bool withLog = true) {
        WriteFile(path_, content);
        return LoadTxt(list_, path_.c_str(), wide, withLog ? log_.c_str() : nullptr);
    }
    // Empties the list, the captured notices and the log.
    void Clear() {
        list_.List().clear();
        notices.Clear();
        std::filesystem::remove(log_);
    }
    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (auto const &[id, macro, record] : ItemRows(list_))
            ids.push_back(id);
        return ids;
    }
    Items Got() const { return ItemRows(list_); }
    // The messages of the notices shown since the last call, each checked to be an "Error:".
    Texts Shown() {
        Texts shown;
        for (auto const &notice : notices.Notices())
            shown.push_back(notice.caption == "Error:" ? notice.message : "<caption>");
        notices.Clear();
        return shown;
    }
    std::string path_ = dir.File("res.txt");
    std::string log_ = dir.File("import.log");
    CRilTxtLoader list_;
};

// The exporter's layout and the byte-order mark that sets WCS are read by the round trip; a
// file without items imports (the tool's import_no_items_forced run).
TEST_F(TxtParser, ReadingRules) {
    // A macro of 127 characters is whole, a longer one is cut to 127; both get the warning, at
    // the offset of the second character after the last one copied.
    const std::string m127(127, 'M'), n130(130, 'N');
    const std::string file =
        "RilStringID=1001;RilStringMacro=ABC ;\r\n{}\r\n"
        "RilStringID=1002;RilStringMacro=B\r\n{ab}cd}\r\n\r\n"
        "RilStringID=1003RilStringMacro=C\n{x}" // nothing else is required
        "RilStringID=0x10;RilStringMacro=D\r\n{}RilStringID=1004;RilStringMacro=" +
        m127 + "\r\n{a}\r\nRilStringID=-1;RilStringMacro=" + n130 + "\r\n{b}";
    ASSERT_EQ(1, Load(file));
    EXPECT_EQ(Got(), (Items{A(1001, "ABC ;", ""), A(1002, "B", "ab"), A(1003, "C", "x"),
                            A(0, "D", ""), A(1004, m127, "a"), A(1, n130.substr(3), "b")}));
    EXPECT_EQ(u"ABC ;", list_.List().front()->MacroW());
    EXPECT_EQ(LogLine(msg::kMacroTooLong, 1004u, unsigned(file.find(m127)) + 128) +
                  LogLine(msg::kMacroTooLong, 1u, unsigned(file.find(n130)) + 128) +
                  LogLine("black Num: 999"), // 2 to 1000 are free
              ReadText(log_));
    // An item without a macro keyword takes the next item's macro and text.
    list_.List().clear();
    ASSERT_EQ(1, Load("RilStringID=1001\r\n{lost}\r\nRilStringID=1005;RilStringMacro=B\r\n{x}"));
    EXPECT_EQ(Got(), Items{A(1001, "B", "x")});
    // A zero byte inside a text is copied; outside a text it ends the keyword search.
    list_.List().clear();
    ASSERT_EQ(1, Load("RilStringID=1001;RilStringMacro=Z\r\n{a\0b}\0"
                      "RilStringID=1002;RilStringMacro=Y\r\n{c}"s));
    ASSERT_EQ(1, Load(Utf16(u"RilStringID=7;RilStringMacro=W\n{a\0b}"s), 1));
    EXPECT_EQ(Got(), (Items{A(1001, "Z", "a\0b"s), ItemRow{7, "W", RecordW("W", u"a\0b"s)}}));
    EXPECT_EQ(Shown(), Texts{});
}

TEST_F(TxtParser, NumbersItemsThatAskForNewIds) {
    const std::tuple<std::vector<std::string>, std::vector<std::uint32_t>, char const *> rows[] = {
        // IDs as written, as numbered, the gap count the log reports: the numbers from 1001
        // (or the lowest ID) up to the highest ID that no item takes
        {{"1001", "1003", "196607", "196607"}, {1001, 1003, 1002, 1004}, "0"},
        {{"1005", "1010", "-1"}, {1005, 1010, 1001}, "7"},
        {{"1010", "1005"}, {1010, 1005}, "8"},
        {{"5", "9", "-1"}, {5, 9, 6}, "2"},
        {{"1003", "1006", "-1", "196608", "-1", "4294967295"},
         {1003, 1006, 1001, 1002, 1004, 1005},
         "0"},
        // Numbers beyond 32 bits are clamped: 2147483647, then -2147483648.
        {{"1001", "99999999999", "-99999999999"}, {1001, 1002, 1003}, "0"},
        // A gap of two thousand million numbers costs nothing.
        {{"1001", "2000000000", "-1", " +1004"}, {1001, 1002, 1003, 1004}, "0"},
        {{"1001", "1001", "1001"}, {1001, 1001, 1001}, "0"}, // repeats: never below 0
    };
    for (auto const &[ids, numbered, gaps] : rows) {
        Clear();
        ASSERT_EQ(1, Load(IdsFile(ids)));
        EXPECT_EQ(std::make_tuple(Ids(), ReadText(log_), Shown()),
                  std::make_tuple(numbered, LogLine("black Num: %s", gaps), Texts{}));
    }
    // The fourth new ID empties the pool: the load fails, the items before it stay.
    Clear();
    const std::string file = IdsFile({"1001", "1002", "1003", "-1"});
    EXPECT_EQ(0, Load(file));
    EXPECT_EQ((std::vector<std::uint32_t>{1001, 1002, 1003}), Ids());
    EXPECT_EQ(LogLine(msg::kNoFreeId, unsigned(file.rfind("RilStringID=") + 12)), ReadText(log_));
    list_.List().clear();
    EXPECT_EQ(0, Load(Utf16(u"RilStringID=-1;RilStringMacro=A\r\n{x}"), 1, false));
    EXPECT_EQ(Got(), Items{});
    EXPECT_EQ(Shown(), Texts{Printf(msg::kNoFreeId, 26u)}); // the mark counts: (1 + 12) x 2
}

// Files that cannot be read leave the list as it was; a failure further on keeps what came
// before it.
TEST_F(TxtParser, FailuresKeepTheListAsItWasOrItsEarlierItems) {
    list_.Append(std::make_unique<RilStrRes>());
    const std::string missing = dir.File("missing.txt");
    EXPECT_EQ(0, LoadTxt(list_, missing.c_str(), 0, log_.c_str()));
    EXPECT_EQ(0, Load("R"));
    EXPECT_EQ(0, Load(""));
    EXPECT_EQ(0, Load("\xFE\xFFR\0"s, 1));
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(0, Load(IdsFile({"1001"})));
    platform::ArmFault(platform::Fault::FileRead, 1); // the one read of the file
    EXPECT_EQ(0, Load(IdsFile({"1001"})));
    platform::DisarmAllFaults();
    const std::string unreadable = LogLine(msg::kCannotRead, path_.c_str());
    EXPECT_EQ(LogLine(msg::kCannotOpen, missing.c_str()) + unreadable + unreadable +
                  LogLine(msg::kBigEndianUnicode, path_.c_str()) +
                  LogLine(msg::kCannotAllocateLoad, path_.c_str()) + unreadable,
              ReadText(log_));
    EXPECT_EQ(1u, list_.Count());
    EXPECT_EQ(Shown(), Texts{});
    // UTF-16 without a mark read as MBCS: the keyword search stops at the first zero byte.
    list_.List().clear();
    EXPECT_EQ(1, Load(Utf16(Units(IdsFile({"1001"})), false), 0));
    EXPECT_EQ(0u, list_.Count());
    EXPECT_EQ(1, Load(Utf16(Units(IdsFile({"1001"})), false), 1));
    EXPECT_EQ(1u, list_.Count());
    // Memory refused for an item: the load fails, the items and messages before it stay.
    // The buffer, then each item and its record (a short macro lives in the item): the second
    // item's record (5), then the item (4).
    for (int countdown : {5, 4}) {
        Clear();
        platform::ArmFault(platform::Fault::Alloc, countdown);
        EXPECT_EQ(0, Load(IdsFile({"1001", "1002", "1003"})));
        platform::DisarmAllFaults();
        EXPECT_EQ(std::make_tuple(Got(), ReadText(log_), Shown()),
                  std::make_tuple(Items{A(1001, "M1", "t")}, LogLine(msg::kRecordAllocationFailed),
                                  Texts{}));
    }
}

TEST_F(TxtParser, BraceErrorsAreBoxedThenLogged) {
    const std::string ok = "RilStringID=1001;RilStringMacro=OK\r\n{fine}\r\n";
    // An opening brace inside a text: without a log both reports are notices, in order.
    EXPECT_EQ(0, Load(ok + "RilStringID=1002;RilStringMacro=BAD\r\n{a{b}", 0, false));
    EXPECT_EQ(Shown(), (Texts{Printf(msg::kOpenBraceInText, unsigned(ok.size() + 39)),
                              Printf(msg::kTextNotFound, 1002u, "BAD")}));
    EXPECT_EQ(Got(), Items{A(1001, "OK", "fine")});
    // With a log only the brace search is boxed. Wide offsets are even and count the mark; in
    // GBK (the default) an offset names the brace byte that starts a character.
    const std::string cang = "\x82\x7D", qi = "\x82\x7B", n = "\r\n";
    const std::tuple<std::string, int, std::string> rows[] = {
        // after the macro, wide, the notice shown (none: only the log line)
        {n + "}{a}", 0, Printf(msg::kCloseBraceFirst, 32u)},
        {n + "{open", 0, msg::kEndInsideText},
        {n + "{open", 1, msg::kEndInsideText},
        {n + "{o{", 1, Printf(msg::kOpenBraceInText, 2u * 35)},
        {n + "}{o}", 1, Printf(msg::kCloseBraceFirst, 66u)},
        {n + "{" + cang + "{" + cang + "}", 0, Printf(msg::kOpenBraceInText, 35u)},
        {n + qi + "}{x}", 0, Printf(msg::kCloseBraceFirst, 34u)},
        {n + "{a" + cang, 0, msg::kEndInsideText},
        {n, 0, ""}, // the file ends right after the macro line, or inside it
        {"", 0, ""},
    };
    for (auto const &[rest, wide, shown] : rows) {
        Clear();
        const std::string file = "RilStringID=6;RilStringMacro=E" + rest;
        EXPECT_EQ(0, Load(wide ? Utf16(Units(file)) : file, wide));
        EXPECT_EQ(std::make_pair(Shown(), ReadText(log_)),
                  std::make_pair(shown.empty() ? Texts{} : Texts{shown},
                                 LogLine(msg::kTextNotFound, 6u, "E")))
            << rest;
    }
}

// In the multibyte flavour a brace byte is a brace only where a character of the ANSI code
// page starts: the trail byte of a double-byte character is text (in GBK, Shift-JIS and Big5
// also the round trip's texts, full of such characters).
TEST_F(TxtParser, BraceBytesInsideDoubleByteCharactersAreText) {
    const std::string cang = "\x82\x7D"; // 倉
    const std::tuple<unsigned, std::string, std::string> rows[] = {
        // code page, after "M", text
        {936, "\r\n{a\x81\r\n}", "a\x81\r\n"}, // a lone lead byte
        {949, "\r\n{\xB0}b}", "\xB0"},         // no brace trails a UHC character
        {54936, "\r\n{\x81\x30\x81\x30" + cang + "\x81\x30}",
         "\x81\x30\x81\x30" + cang + "\x81\x30"},
        {1252, "\r\n{\x82}b}", "\x82"},
    };
    for (auto const &[codePage, afterMacro, text] : rows) {
        Clear();
        if (Ril_SetAnsiCodePage(codePage) == 0xFFFFFFFFu)
            continue; // Wine has no GB18030 (54936)
        ASSERT_EQ(1, Load("RilStringID=1;RilStringMacro=M" + afterMacro +
                          "RilStringID=2;RilStringMacro=N\r\n{z}"));
        EXPECT_EQ(Got(), (Items{A(1, "M", text), A(2, "N", "z")})) << codePage;
    }
}

} // namespace
} // namespace ril::test
