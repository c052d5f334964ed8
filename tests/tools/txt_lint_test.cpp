// The lint (Ril_LintResTxt; the import's runs through the tool's tests): each finding's ID,
// severity and place, the flags that make findings errors, and what the lint leaves alone.
#include "support/test_support.h"

#include <tuple>

using namespace ril::core;

namespace ril::test {
namespace {

// id, severity, line, column, first line (a repeat's first definition)
using Found = std::tuple<std::string, int, long long, long long, long long>;

// The findings but the gap count.
std::vector<Found> Findings(PartsCapture const &capture) {
    std::vector<Found> found;
    for (NoticeParts const &n : capture.seen)
        if (n.id != "gap-count")
            found.emplace_back(n.id, n.severity, n.line, n.column, n.firstLine);
    return found;
}

struct Row {
    char const *name;
    std::string file;
    unsigned codePage;
    int wide;
    unsigned flags;
    HResult result;
    std::vector<Found> found;
};

using Lint = LibraryTest;

TEST_F(Lint, EachFindingWithItsPlace) {
    int const E = RIL_SEVERITY_ERROR, W = RIL_SEVERITY_WARNING, I = RIL_SEVERITY_INFORMATION;
    const std::string item = "RilStringID=1;RilStringMacro=A\n{a}\n";
    const std::string m127(127, 'M');
    unsigned const strict = RIL_LINT_STRICT_BYTES, cut = RIL_LINT_MACRO_LIMIT_ERROR,
                   none = RIL_LINT_NO_ITEMS_ERROR;
    // 3000 lines of 5 characters: places far beyond the first few KiB of a file.
    std::string filler;
    for (int line = 0; line < 3000; ++line)
        filler += "// x\n";
    const std::u16string wideFiller(filler.begin(), filler.end());
    // clang-format off
    const Row rows[] = {
        {"not a number", "RilStringID=abc;RilStringMacro=A\n{x}\n", 0, 0, 0, 0, {{"id-not-a-number", W, 1, 13, 0}}},
        {"missing", "RilStringID=;RilStringMacro=A\n{x}\n", 0, 0, 0, 0, {{"id-missing", W, 1, 13, 0}}},
        {"a blank after the ID", "RilStringID=12 ;RilStringMacro=A\n{x}\n", 0, 0, 0, 0, {}},
        {"beyond 32 bits", "RilStringID= 4294967296;RilStringMacro=A\n{x}\n", 0, 0, 0, 0, {{"new-id", I, 1, 1, 0}, {"id-out-of-range", W, 1, 14, 0}}},
        {"no macro keyword", "RilStringID=1;\nRilStringID=2;RilStringMacro=B\n{b}\n", 0, 0, 0, 0, {{"macro-keyword-missing", W, 1, 1, 0}}},
        {"no text", "RilStringID=1;RilStringMacro=A\nRilStringID=2;RilStringMacro=B\n{b}\n", 0, 0, 0, 0, {{"text-missing", W, 1, 1, 0}}},
        {"near keyword after GBK", item + "\xD6\xD0\xCE\xC4 rilstring ID =\n", 936, 0, 0, 0, {{"near-keyword", W, 3, 4, 0}}},
        {"near keywords beside the keywords", "RilStringID=1;RilStringMacro=A\n// ril string macro= rilstringidmacro= RILSTRINGID=\n{a}\n", 0, 0, 0, 0, {{"near-keyword", W, 2, 4, 0}, {"near-keyword", W, 2, 40, 0}}},
        {"near keyword, wide", Utf16(u"RilStringID=1;RilStringMacro=A\n// RIL STRING\tID\t=\n{a}\n"), 0, 0, 0, 0, {{"read-as-utf16-mark", I, 0, 0, 0}, {"near-keyword", W, 2, 4, 0}}},
        {"places far into the file", item + filler + " rilstringid=\n" + item, 0, 0, 0, kErrImportParse, {{"duplicate-macro", E, 3004, 1, 1}, {"near-keyword", W, 3003, 2, 0}}},
        {"places far into a wide file", Utf16(u"RilStringID=1;RilStringMacro=A\n{a}\n" + wideFiller + u" rilstringid=\n"), 0, 0, 0, 0, {{"read-as-utf16-mark", I, 0, 0, 0}, {"near-keyword", W, 3003, 2, 0}}},
        {"bad GBK bytes", "RilStringID=1;RilStringMacro=A\n{\xD6\xD0 \x81 x}\n", 936, 0, 0, 0, {{"unmappable-text", W, 2, 4, 0}}},
        {"bad GBK bytes, strict", "RilStringID=1;RilStringMacro=A\n{\xD6\xD0 \x81 x}\n", 936, 0, strict, kErrImportParse, {{"unmappable-text", E, 2, 4, 0}}},
        {"bad UTF-8 bytes", "RilStringID=1;RilStringMacro=A\n{a\xE4\xB8x \xC3\xA9}\n", 65001, 0, strict, kErrImportParse, {{"unmappable-text", E, 2, 3, 0}}},
        {"lone surrogate", Utf16(u"RilStringID=1;RilStringMacro=A\n{\U00010000x\xD800\xFF01}"), 0, 0, 0, 0, {{"read-as-utf16-mark", I, 0, 0, 0}, {"unpaired-surrogate", W, 2, 4, 0}}},
        {"hidden items", item + std::string(1, '\0') + "\n" + item, 0, 0, 0, 0, {{"hidden-items", W, 3, 1, 0}}},
        {"cut macro", "RilStringID=1;RilStringMacro=" + m127 + "M\n{a}\n", 0, 0, 0, 0, {{"macro-too-long", W, 1, 30, 0}}},
        {"cut macro, refused", "RilStringID=1;RilStringMacro=" + m127 + "M\n{a}\n", 0, 0, cut, kErrImportParse, {{"macro-would-be-cut", E, 1, 30, 0}}},
        {"127 characters", "RilStringID=1;RilStringMacro=" + m127 + "\n{a}\n", 0, 0, cut, 0, {}},
        {"UTF-8 read as GBK", "RilStringID=1;RilStringMacro=A\n{\xC3\xA9}\n", 936, 0, 0, 0, {{"utf8-read-as-dbcs", W, 0, 0, 0}}},
        {"UTF-8 from U+0080, at the end, read as GBK", "RilStringID=1;RilStringMacro=A\n{a}\n\xC2\xA9", 936, 0, 0, 0, {{"utf8-read-as-dbcs", W, 0, 0, 0}}},
        {"overlong UTF-8 read as GBK", "RilStringID=1;RilStringMacro=A\n{\xC0\x80}\n", 936, 0, 0, 0, {}},
        {"UTF-8 edges before a bad byte", "RilStringID=1;RilStringMacro=A\n{\xED\x9F\xBF\xF0\x9F\x98\x80\xC0\x80}\n", 65001, 0, strict, kErrImportParse, {{"unmappable-text", E, 2, 4, 0}}},
        {"UTF-8 signature", "\xEF\xBB\xBFRilStringID=x;RilStringMacro=A\n{\xE4\xB8\xAD}\n", 936, 0, RIL_LINT_UTF8_SIGNATURE | strict, 0, {{"read-as-utf8-mark", I, 0, 0, 0}, {"id-not-a-number", W, 1, 13, 0}}},
        {"no items", "text\n", 0, 0, none, kErrImportParse, {{"no-items", E, 0, 0, 0}}},
        {"no items: UTF-16", Utf16(u"RilStringId=1", false), 0, 0, none, kErrImportParse, {{"no-items-utf16", E, 0, 0, 0}}},
        {"no items: wide without mark", item, 0, 1, none, kErrImportParse, {{"no-items-wide-without-mark", E, 0, 0, 0}}},
        {"empty", "", 0, 0, 0, kErrImportParse, {{"empty-file", E, 0, 0, 0}}},
        {"new ID, repeated ID", item + "RilStringID=3;RilStringMacro=B\n{b}\nRilStringID=-1;RilStringMacro=C\n{c}\nRilStringID=1;RilStringMacro=D\n{d}\n", 0, 0, 0, kErrImportParse, {{"new-id", I, 5, 1, 0}, {"duplicate-id", E, 7, 1, 1}}},
        {"faults left to the import", "RilStringID=abc;RilStringMacro=a\n{x}\nRilStringID=-1;RilStringMacro=B\n{y}\n", 0, 0, RIL_LINT_FINDINGS_ONLY, 0, {{"id-not-a-number", W, 1, 13, 0}}},
    };
    // clang-format on
    for (Row const &row : rows) {
        SCOPED_TRACE(row.name);
        Ril_SetAnsiCodePage(row.codePage);
        const std::string path = PutText("lint.txt", row.file);
        PartsCapture capture;
        EXPECT_EQ(Ril_LintResTxt(path.c_str(), row.wide, row.flags), row.result);
        EXPECT_EQ(Ril_GetLastError(), row.result);
        EXPECT_EQ(Findings(capture), row.found);
        // The lint changes no setting and writes nothing.
        EXPECT_EQ(Ril_SetAnsiCodePage(row.codePage), row.codePage);
        EXPECT_EQ(FilesInDir(), 1u);
    }
    EXPECT_EQ(Ril_LintResTxt(nullptr, 0, 0), kErrArgument);
    ExpectNotice("");
}

} // namespace
} // namespace ril::test
