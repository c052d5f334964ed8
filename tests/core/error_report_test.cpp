// ErrorBox and LogError: the "Error:" notice, log lines byte for byte, and cuts at 1023 bytes;
// structured notices with their places, languages and the system's reasons; the check.
#include "core/error_report.h"

#include "core/messages.h"
#include "support/test_support.h"

#include <cerrno>
#include <tuple>

namespace ril::test {
namespace {

using ErrorReport = LibraryTest;

TEST_F(ErrorReport, ErrorBoxFormatsAndCutsAt1023Bytes) {
    EXPECT_STREQ(kErrorCaption, "Error:");
    ErrorBox(catalogue::kMacroNotFound, {}, 12u, 0x1Fu); // GBK bytes pass unchanged
    ExpectNotice(Printf(msg::kMacroNotFound, 12u, 0x1Fu));
    const std::string longText(2000, 'L');
    ErrorBox(catalogue::kCannotOpen, {}, longText.c_str());
    ExpectNotice(Printf(msg::kCannotOpen, longText.c_str()).substr(0, 1023));
    // Without a usable log the line is shown instead.
    LogError(nullptr, "no log %d", 1);
    ExpectNotice("no log 1");
    const std::string missing = dir.File("missing/import.log");
    LogError(missing.c_str(), catalogue::kCannotRead, {}, "here");
    ExpectNotice(Printf(msg::kCannotRead, "here"));
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(ErrorReport, LogAppendsCrLfLinesInCallOrder) {
    const std::string log = Put("import.log", {'o', 'l', 'd', '\n'});
    LogError(log.c_str(), "first %u", 1u);
    LogError(log.c_str(), catalogue::kGapCount, {}, -3);
    const std::string longText(1500, 'z');
    LogError(log.c_str(), "%s", longText.c_str());
    ExpectNotice("");
    EXPECT_EQ(ReadText(log),
              "old\nfirst 1\r\nblack Num: -3\r\n" + longText.substr(0, 1023) + "\r\n");
    const std::string fresh = dir.File("fresh.log"); // a missing log is created
    LogError(fresh.c_str(), "created");
    EXPECT_EQ(ReadText(fresh), "created\r\n");
#ifdef __linux__
    // A device that is always full: nothing to cut back, the "cannot write" notice naming the
    // log, then the line itself.
    if (FileExists("/dev/full")) {
        LogError("/dev/full", "full");
        ASSERT_EQ(notices.Notices().size(), 2u);
        EXPECT_EQ(notices.Notices()[0].message, Printf(msg::kCannotWriteBin, "/dev/full"));
        EXPECT_EQ(notices.Notices()[1].message, "full");
    }
#endif
}

// A notice's text rendered again by Ril_FormatNotice (measured first).
std::string Again(const RIL_NOTICE *notice, int language) {
    const int length = Ril_FormatNotice(notice, language, nullptr, 0);
    if (length < 0)
        return "<refused>";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    Ril_FormatNotice(notice, language, text.data(), static_cast<RIL_ULONG>(text.size()));
    text.pop_back();
    return text;
}

// Everything a structured notice carried, copied during the call.
struct Seen {
    std::string id;
    int severity = -1;
    std::string file;
    long long offset = -1;
    long long firstOffset = -1;
    int systemError = 0;
    std::string reason;
    int logged = -1;
    std::vector<std::string> args; // texts, or numbers in decimal
    std::string text;
    std::string chinese; // rendered again
    std::string english;
};

class PartsCapture {
  public:
    PartsCapture() { Ril_SetNoticeHandlerEx(&Handler, this); }
    ~PartsCapture() { Ril_SetNoticeHandlerEx(nullptr, nullptr); }
    std::vector<Seen> seen;
    // (messageId, offset, firstOffset) of every notice but the gap count.
    std::vector<std::tuple<std::string, long long, long long>> Places() const {
        std::vector<std::tuple<std::string, long long, long long>> out;
        for (const Seen &s : seen)
            if (s.id != "gap-count")
                out.emplace_back(s.id, s.offset, s.firstOffset);
        return out;
    }

  private:
    static void Handler(void *context, const RIL_NOTICE *n) {
        Seen s;
        s.id = n->messageId;
        s.severity = n->severity;
        s.file = n->file != nullptr ? n->file : "";
        s.offset = n->offset;
        s.firstOffset = n->firstOffset;
        s.systemError = n->systemError;
        s.reason = n->systemReason != nullptr ? n->systemReason : "";
        s.logged = n->logged;
        for (unsigned i = 0; i < n->argCount; ++i)
            s.args.push_back(n->args[i].isText ? n->args[i].text
                                               : std::to_string(n->args[i].number));
        s.text = n->text;
        s.chinese = Again(n, RIL_MESSAGES_CHINESE);
        s.english = Again(n, RIL_MESSAGES_ENGLISH);
        static_cast<PartsCapture *>(context)->seen.push_back(s);
    }
};

// A text file of ASCII items, as bytes or as UTF-16LE with FF FE; offsets of its items.
struct TextFile {
    std::vector<std::string> items;
    std::string Narrow() const {
        std::string all;
        for (const std::string &item : items)
            all += item;
        return all;
    }
    Bytes Content(bool wide) const {
        const std::string all = Narrow();
        if (!wide)
            return Bytes(all.begin(), all.end());
        Bytes out{0xFF, 0xFE};
        for (char c : all)
            out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
        return out;
    }
    // The byte offset of item `i` in the file of the flavour.
    long long Offset(std::size_t i, bool wide) const {
        long long at = 0;
        for (std::size_t k = 0; k < i; ++k)
            at += static_cast<long long>(items[k].size());
        return wide ? 2 + 2 * at : at;
    }
};

// Bad macros, a repeated macro and a repeated ID whose first definition the sorts put last.
const TextFile kFaulty{{
    "RilStringID=5;RilStringMacro=Z\r\n{z}\r\n",
    "RilStringID=7;RilStringMacro=a b\r\n{ab}\r\n",
    "RilStringID=9;RilStringMacro=Z\r\n{z2}\r\n",
    "RilStringID=5;RilStringMacro=B\r\n{b}\r\n",
    "RilStringID=8;RilStringMacro=\r\n{e}\r\n",
}};

using StructuredNotices = LibraryTest;

TEST_F(StructuredNotices, RepeatsAndBadMacrosCarryTheirPlaces) {
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        const std::string txt = Put(wide ? "w.txt" : "n.txt", kFaulty.Content(wide));
        PartsCapture parts;
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, dir.File("o.bin").c_str(), nullptr),
                  kErrImportParse);
        const auto at = [&](std::size_t i) { return kFaulty.Offset(i, wide); };
        using P = std::tuple<std::string, long long, long long>;
        const std::vector<P> expected = {
            P{"illegal-macro-character", at(1), -1}, P{"illegal-macro-character", at(1), -1},
            P{"illegal-macro-character", at(1), -1}, P{"empty-macro", at(4), -1},
            P{"duplicate-macro", at(2), at(0)},      P{"duplicate-id", at(3), at(0)},
        };
        EXPECT_EQ(parts.Places(), expected);
        ASSERT_EQ(parts.seen.size(), 7u);
        for (const Seen &s : parts.seen) {
            EXPECT_EQ(s.file, txt);
            EXPECT_EQ(s.logged, 0);
            EXPECT_EQ(s.text, s.chinese);
        }
        EXPECT_EQ(parts.seen[0].id, "gap-count");
        EXPECT_EQ(parts.seen[0].severity, RIL_SEVERITY_INFORMATION);
        EXPECT_EQ(parts.seen[2].args, (std::vector<std::string>{"7", "a b", " "}));
        // The designed argument order stays: the kept item (here the later one) first.
        EXPECT_EQ(parts.seen[6].english, "duplicate ID: ID 5, macro 'B', and ID 5, macro 'Z'");
        EXPECT_EQ(parts.seen[6].text, Printf(msg::kDuplicateId, 5u, "B", 5u, "Z"));
        ExpectNotice("");
    }
}

TEST_F(StructuredNotices, ParserFaultsCarryTheOffsetTheyPrint) {
    struct Row {
        const char *text;
        std::vector<std::tuple<std::string, long long, long long>> narrow; // wide: 2 + 2x
    };
    using P = std::tuple<std::string, long long, long long>;
    // clang-format off
    const Row rows[] = {
        {"RilStringID=5;RilStringMacro=A\r\n{x{y}", {P{"opening-brace-in-text", 34, -1}, P{"text-not-found", 0, -1}}},
        {"\r\nRilStringID=5;RilStringMacro=A\r\n{xy", {P{"unterminated-text", 34, -1}, P{"text-not-found", 2, -1}}},
        {"RilStringID=5;RilStringMacro=A\r\n}", {P{"unexpected-closing-brace", 32, -1}, P{"text-not-found", 0, -1}}},
        {"RilStringID=5 RilStringMacr=A", {P{"macro-not-found", 12, -1}}},
    };
    // clang-format on
    for (const Row &row : rows) {
        for (bool wide : {false, true}) {
            SCOPED_TRACE(std::string(row.text) + (wide ? " (wide)" : ""));
            const std::string txt = Put("p.txt", TextFile{{row.text}}.Content(wide));
            PartsCapture parts;
            EXPECT_EQ(Ril_CheckResTxt(txt.c_str(), 0), kErrImportParse);
            auto expected = row.narrow;
            for (auto &[id, offset, first] : expected)
                offset = wide ? 2 + 2 * offset : offset;
            EXPECT_EQ(parts.Places(), expected);
            // A printed offset is the notice's offset.
            for (const Seen &seen : parts.seen) {
                if (seen.id != "text-not-found" && seen.id != "unterminated-text") {
                    EXPECT_EQ(seen.args.back(), std::to_string(seen.offset));
                }
            }
        }
    }
}

TEST_F(StructuredNotices, LogKeepsGbkWhateverTheHandlerAndLanguage) {
    const std::string txt = Put("dup.txt", TextFile{{"RilStringID=1;RilStringMacro=A\r\n{a}",
                                                     "RilStringID=2;RilStringMacro=A\r\n{b}"}}
                                               .Content(false));
    const std::string bin = dir.File("dup.bin");
    const std::string log = dir.File("dup.log");
    const auto import = [&](const char *logPath) {
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), logPath), kErrImportParse);
        return ReadText(log);
    };
    const std::string designed = import(log.c_str());
    ExpectNotice("");
    EXPECT_NE(designed.find(LogLine(msg::kDuplicateMacro, 1u, "A", 2u, "A")), std::string::npos);
    EXPECT_NE(designed.find(LogLine(msg::kGapCount, -1000)), std::string::npos);

    std::vector<Seen> english;
    {
        PartsCapture parts;
        EXPECT_EQ(Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH), RIL_MESSAGES_CHINESE);
        EXPECT_EQ(import(log.c_str()), designed);
        english = parts.seen;
    }
    ExpectNotice(""); // the plain handler got nothing while the parts handler was set
    ASSERT_EQ(english.size(), 2u);
    for (const Seen &s : english) {
        EXPECT_EQ(s.logged, 1);
        EXPECT_EQ(s.text, s.english);
        EXPECT_NE(designed.find(s.chinese + "\r\n"), std::string::npos) << s.id;
    }
    EXPECT_EQ(english[1].text, "duplicate macro: ID 1, macro 'A', and ID 2, macro 'A'");

    // English reaches the plain handler; the log stays as designed.
    EXPECT_EQ(import(log.c_str()), designed);
    ExpectNotice("");
    import(nullptr);
    ASSERT_EQ(notices.Notices().size(), 2u);
    EXPECT_EQ(notices.Notices()[0].message, english[0].english);
    EXPECT_EQ(notices.Notices()[1].message, english[1].english);
    notices.Clear();
}

TEST_F(StructuredNotices, LanguageAndFormatRefuseBadArguments) {
    EXPECT_EQ(Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH), RIL_MESSAGES_CHINESE);
    EXPECT_EQ(Ril_SetMessageLanguage(2), -1);
    EXPECT_EQ(Ril_SetMessageLanguage(-1), -1);
    EXPECT_EQ(Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE), RIL_MESSAGES_ENGLISH);

    // The caller's own argument bytes (UTF-8 here) are rendered as they are.
    const RIL_NOTICE_ARG args[] = {{0, 1001, nullptr}, {1, 0, "\xC3\xA9"}};
    RIL_NOTICE notice{};
    notice.messageId = "text-not-found";
    notice.argCount = 2;
    notice.args = args;
    const std::string english = "ID 1001: no text in braces found for macro '\xC3\xA9'";
    EXPECT_EQ(Again(&notice, RIL_MESSAGES_ENGLISH), english);
    EXPECT_EQ(Again(&notice, RIL_MESSAGES_CHINESE), Printf(msg::kTextNotFound, 1001u, "\xC3\xA9"));
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(Ril_FormatNotice(&notice, RIL_MESSAGES_ENGLISH, buffer, 5), int(english.size()));
    EXPECT_STREQ(buffer, "ID 1");
    EXPECT_EQ(buffer[5], 'x');

    EXPECT_EQ(Ril_FormatNotice(nullptr, RIL_MESSAGES_ENGLISH, buffer, sizeof buffer), -1);
    EXPECT_EQ(Ril_FormatNotice(&notice, 2, buffer, sizeof buffer), -1);
    EXPECT_EQ(Ril_FormatNotice(&notice, RIL_MESSAGES_ENGLISH, nullptr, 4), -1);
    RIL_NOTICE missingArgs = notice;
    missingArgs.args = nullptr;
    EXPECT_EQ(Ril_FormatNotice(&missingArgs, RIL_MESSAGES_ENGLISH, buffer, sizeof buffer), -1);
    RIL_NOTICE unknown = notice;
    unknown.messageId = "no-such-message";
    EXPECT_EQ(Ril_FormatNotice(&unknown, RIL_MESSAGES_ENGLISH, buffer, sizeof buffer), -1);
    unknown.messageId = nullptr;
    EXPECT_EQ(Ril_FormatNotice(&unknown, RIL_MESSAGES_ENGLISH, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "ID 1"); // refusals write nothing
}

TEST_F(StructuredNotices, SystemFailuresCarryTheirReasons) {
    const std::string txt =
        Put("ok.txt", TextFile{{"RilStringID=1;RilStringMacro=A\r\n{a}"}}.Content(false));
    const std::string folder = dir.Path().string();
    const std::string missing = dir.File("missing.txt");
    const std::string underFile = txt + "/out.bin";
    struct Row {
        const char *name;
        HResult result;
        const char *id;
        std::string file;
        int error;
        const char *reason; // null: system-dependent English text
    };
#if defined(_WIN32)
    const Row rows[] = {
        {"missing", kErrImportParse, "cannot-open", missing, 2, nullptr},
        {"folder", kErrImportParse, "cannot-open", folder, 5, nullptr},
        {"folder BIN", kErrBinRead, "cannot-open", folder, 5, nullptr},
        {"under a file", kErrImportWrite, "cannot-open-for-update", underFile, 3, nullptr},
    };
#else
    const Row rows[] = {
        {"missing", kErrImportParse, "cannot-open", missing, ENOENT, "No such file or directory"},
        {"folder", kErrImportParse, "cannot-read", folder, EISDIR, "Is a directory"},
        {"folder BIN", kErrBinRead, "cannot-open", folder, EISDIR, "Is a directory"},
        {"under a file", kErrImportWrite, "cannot-open-for-update", underFile, ENOTDIR,
         "Not a directory"},
    };
#endif
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PartsCapture parts;
        const std::string name = row.name;
        HResult result =
            name == "folder BIN"
                ? Ril_ExportResFromBinToTxt(dir.File("x.txt").c_str(), 0, folder.c_str())
                : Ril_ImportResFromTxtToBin(
                      name == "missing"  ? missing.c_str()
                      : name == "folder" ? folder.c_str()
                                         : txt.c_str(),
                      0, name == "under a file" ? underFile.c_str() : dir.File("o.bin").c_str(),
                      nullptr);
        EXPECT_EQ(result, row.result);
        ASSERT_FALSE(parts.seen.empty());
        const Seen &s = parts.seen.back();
        EXPECT_EQ(s.id, row.id);
        EXPECT_EQ(s.file, row.file);
        EXPECT_EQ(s.systemError, row.error);
        if (row.reason != nullptr) {
            EXPECT_EQ(s.reason, row.reason);
        } else { // Windows' texts differ between versions (and Wine): one line, no period
            ASSERT_FALSE(s.reason.empty());
            EXPECT_EQ(s.reason.find_first_of("\r\n"), std::string::npos);
            EXPECT_NE(s.reason.back(), '.');
        }
    }
#ifdef __linux__
    // A log on a full device: the line is reported with the device's reason.
    if (FileExists("/dev/full")) {
        PartsCapture parts;
        Ril_ImportResFromTxtToBin(txt.c_str(), 0, dir.File("o.bin").c_str(), "/dev/full");
        ASSERT_FALSE(parts.seen.empty());
        EXPECT_EQ(parts.seen[0].id, "cannot-write");
        EXPECT_EQ(parts.seen[0].file, "/dev/full");
        EXPECT_EQ(parts.seen[0].reason, "No space left on device");
        EXPECT_EQ(parts.seen[1].id, "import-log-entry");
        EXPECT_EQ(parts.seen[1].text, msg::kLogRule);
    }
#endif
}

TEST_F(StructuredNotices, CheckReportsAsTheImportAndWritesNothing) {
    const std::string txt = Put("faulty.txt", kFaulty.Content(false));
    const std::string clean =
        Put("clean.txt", TextFile{{"RilStringID=1003;RilStringMacro=A\r\n{a}"}}.Content(false));
    const auto texts = [](const PartsCapture &parts) {
        std::vector<std::string> out;
        for (const Seen &s : parts.seen)
            out.push_back(s.id + " " + std::to_string(s.offset) + " " + s.text);
        return out;
    };
    std::vector<std::string> imported;
    {
        PartsCapture parts;
        EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, dir.File("o.bin").c_str(), nullptr),
                  kErrImportParse);
        imported = texts(parts);
    }
    const std::size_t files = FilesInDir();
    PartsCapture parts;
    EXPECT_EQ(Ril_CheckResTxt(txt.c_str(), 0), kErrImportParse);
    EXPECT_EQ(Ril_GetLastError(), kErrImportParse);
    EXPECT_EQ(texts(parts), imported);
    parts.seen.clear();
    EXPECT_EQ(Ril_CheckResTxt(clean.c_str(), 0), kSOk);
    EXPECT_EQ(Ril_GetLastError(), kSOk);
    ASSERT_EQ(parts.seen.size(), 1u);
    EXPECT_EQ(parts.seen[0].english, "gap count: 2 (IDs left unused between the items' IDs)");
    EXPECT_EQ(Ril_CheckResTxt(nullptr, 0), kErrArgument);
    EXPECT_EQ(FilesInDir(), files); // no BIN, no temporary file
    EXPECT_FALSE(FileExists(dir.File("o.bin")));
    ExpectNotice("");
}

} // namespace
} // namespace ril::test
