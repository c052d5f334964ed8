// ErrorBox and LogError: the "Error:" notice, log lines byte for byte, and cuts at 1023 bytes;
// structured notices with their places and languages; the check.
#include "core/error_report.h"

#include "core/messages.h"
#include "support/random_table.h"
#include "support/test_support.h"

#include <tuple>

using namespace ril::core;

namespace ril::test {
namespace {

constexpr auto kNone = std::string::npos;

using ErrorReport = LibraryTest;

// Boxes and log lines: formatted, cut at 1023 bytes; log lines appended with CR LF in call order.
// A log that cannot be opened or written is a row of the replacement test.
TEST_F(ErrorReport, BoxesAndLogLinesFormatAndCutAt1023Bytes) {
    const std::string longText(2000, 'L');
    ErrorBox(catalogue::kCannotOpen, {}, longText.c_str());
    ExpectNotice(Printf(msg::kCannotOpen, longText.c_str()).substr(0, 1023));
    const std::string log = PutText("import.log", "old\n");
    LogError(log.c_str(), "first %u", 1u);
    LogError(log.c_str(), catalogue::kGapCount, {}, -3);
    LogError(log.c_str(), "%s", longText.c_str());
    ExpectNotice("");
    EXPECT_EQ(ReadText(log),
              "old\nfirst 1\r\nblack Num: -3\r\n" + longText.substr(0, 1023) + "\r\n");
}

using Place = std::tuple<std::string, long long, long long>; // id, offset, first offset

// Each notice as "id offset text"; forgets them.
std::vector<std::string> Take(PartsCapture &parts) {
    std::vector<std::string> out;
    for (NoticeParts const &s : parts.seen)
        out.push_back(s.id + " " + std::to_string(s.offset) + " " + s.text);
    parts.seen.clear();
    return out;
}

// A narrow file's offset in its wide copy.
long long In(bool wide, long long narrow) {
    return wide ? 2 + 2 * narrow : narrow;
}

// Bad macros, a repeated macro and a repeated ID whose first definition the sorts put last;
// the items start at 0, 37, 77, 115 and 152.
constexpr char kFaulty[] = "RilStringID=5;RilStringMacro=Z\r\n{z}\r\n"
                           "RilStringID=7;RilStringMacro=a b\r\n{ab}\r\n"
                           "RilStringID=9;RilStringMacro=Z\r\n{z2}\r\n"
                           "RilStringID=5;RilStringMacro=B\r\n{b}\r\n"
                           "RilStringID=8;RilStringMacro=\r\n{e}\r\n";

using StructuredNotices = LibraryTest;

// The import reports them with their places (the check reports the same, writing nothing).
TEST_F(StructuredNotices, RepeatsAndBadMacrosCarryTheirPlaces) {
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        const std::string txt = PutText("faulty.txt", wide ? Utf16(Units(kFaulty)) : kFaulty);
        PartsCapture parts;
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, dir.File("o.bin").c_str(), nullptr),
                  kErrImportParse);
        const Place illegal{"illegal-macro-character", In(wide, 37), -1};
        std::vector<Place> places;
        for (NoticeParts const &s : parts.seen)
            if (s.id != "gap-count")
                places.emplace_back(s.id, s.offset, s.firstOffset);
        EXPECT_EQ(places, (std::vector<Place>{illegal, illegal, illegal,
                                              Place{"empty-macro", In(wide, 152), -1},
                                              Place{"duplicate-macro", In(wide, 77), In(wide, 0)},
                                              Place{"duplicate-id", In(wide, 115), In(wide, 0)}}));
        ASSERT_EQ(parts.seen.size(), 7u);
        for (NoticeParts const &s : parts.seen)
            EXPECT_EQ(std::tie(s.file, s.logged, s.text), std::make_tuple(txt, 0, s.chinese));
        EXPECT_EQ(std::tie(parts.seen[0].id, parts.seen[0].severity, parts.seen[2].args),
                  std::make_tuple("gap-count", int{RIL_SEVERITY_INFORMATION},
                                  std::vector<std::string>{"7", "a b", " "}));
        // The standard argument order stays: the kept item (here the later one) first.
        EXPECT_EQ(std::tie(parts.seen[6].english, parts.seen[6].text),
                  std::make_tuple("duplicate ID: ID 5, macro 'B', and ID 5, macro 'Z'",
                                  Printf(msg::kDuplicateId, 5u, "B", 5u, "Z")));
        ExpectNotice("");
        const std::vector<std::string> imported = Take(parts);
        const std::size_t files = FilesInDir();
        EXPECT_EQ((std::vector<HResult>{Ril_CheckResTxt(txt.c_str(), 0), Ril_GetLastError()}),
                  (std::vector<HResult>{kErrImportParse, kErrImportParse}));
        EXPECT_EQ(Take(parts), imported);
        EXPECT_EQ(FilesInDir(), files);
    }
}

// The log keeps the standard texts in GBK when the notices are in English.
TEST_F(StructuredNotices, LogKeepsGbkWhenNoticesAreInEnglish) {
    const std::string txt = PutText("dup.txt", "RilStringID=1;RilStringMacro=A\r\n{a}"
                                               "RilStringID=2;RilStringMacro=A\r\n{b}");
    const std::string log = dir.File("dup.log");
    Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
    PartsCapture parts;
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, dir.File("dup.bin").c_str(), log.c_str()),
              kErrImportParse);
    ASSERT_EQ(parts.seen.size(), 2u); // the gap count and the repeated macro
    std::string lines;
    for (NoticeParts const &s : parts.seen) {
        EXPECT_EQ(std::tie(s.logged, s.text), std::make_tuple(1, s.english));
        lines += s.chinese + "\r\n";
    }
    EXPECT_NE(ReadText(log).find(lines), kNone);
    ExpectNotice(""); // the plain handler got nothing while the parts handler was set
}

TEST_F(StructuredNotices, LanguageAndFormatRefuseBadArguments) {
    EXPECT_EQ((std::vector<int>{Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH),
                                Ril_SetMessageLanguage(2), Ril_SetMessageLanguage(-1),
                                Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE)}),
              (std::vector<int>{RIL_MESSAGES_CHINESE, -1, -1, RIL_MESSAGES_ENGLISH}));

    // The caller's own argument bytes (UTF-8 here) are rendered as they are.
    const RIL_NOTICE_ARG args[] = {{0, 1001, nullptr}, {1, 0, "\xC3\xA9"}};
    RIL_NOTICE notice{};
    notice.messageId = "text-not-found";
    notice.argCount = 2;
    notice.args = args;
    const std::string english = "ID 1001: no text in braces found for macro '\xC3\xA9'";
    EXPECT_EQ(FormatAgain(&notice, RIL_MESSAGES_ENGLISH), english);
    EXPECT_EQ(FormatAgain(&notice, RIL_MESSAGES_CHINESE),
              Printf(msg::kTextNotFound, 1001u, "\xC3\xA9"));
    RIL_NOTICE header{}; // its standard text reads "...head file..."; one argument is enough
    header.messageId = "cannot-open-header", header.argCount = 1, header.args = args + 1;
    EXPECT_EQ(FormatAgain(&header, RIL_MESSAGES_ENGLISH), "cannot open header file '\xC3\xA9'");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(Ril_FormatNotice(&notice, RIL_MESSAGES_ENGLISH, buffer, 5), int(english.size()));
    EXPECT_EQ(std::string(buffer, 6), std::string("ID 1\0x", 6));

    // Refused: no arguments where the message takes some, fewer than it takes, no message.
    RIL_NOTICE noArgs = notice, none = notice, fewer = notice, unknown = notice, unnamed = notice;
    noArgs.args = nullptr;
    none.argCount = 0, none.args = nullptr;
    fewer.argCount = 1;
    unknown.messageId = "no-such-message";
    unnamed.messageId = nullptr;
    auto const format = [&](const RIL_NOTICE *n, int language = RIL_MESSAGES_ENGLISH) {
        return Ril_FormatNotice(n, language, buffer, sizeof buffer);
    };
    EXPECT_EQ((std::vector<int>{format(nullptr), format(&notice, 2), format(&noArgs), format(&none),
                                format(&fewer), format(&unknown), format(&unnamed),
                                Ril_FormatNotice(&notice, RIL_MESSAGES_ENGLISH, nullptr, 4)}),
              std::vector<int>(8, -1));
    EXPECT_STREQ(buffer, "ID 1"); // refusals write nothing
}

} // namespace
} // namespace ril::test
