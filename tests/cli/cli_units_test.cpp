// Unit tests of the tool's helpers that the command runs do not pin down: JSON escaping, the
// line and column of an offset, and the choice of the message language.
#include "commands.h"
#include "diagnostics.h"
#include "global_options.h"
#include "json_writer.h"
#include "text_position.h"

#include "Ril4410.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace rilcli {
namespace {

std::vector<std::uint8_t> Bytes(std::string const &text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// UTF-16LE after its mark.
std::vector<std::uint8_t> Utf16(std::u16string const &text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t const unit : text)
        bytes.insert(bytes.end(), {std::uint8_t(unit & 0xFF), std::uint8_t(unit >> 8)});
    return bytes;
}

TEST(CliJson, EscapesQuotesControlsAndMalformedUtf8) {
    std::pair<std::string, std::string> const rows[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\r\n\t\b\f", "\"\\r\\n\\t\\b\\f\""},
        {std::string("\x01\x1F\x7F", 3), "\"\\u0001\\u001F\\u007F\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\xE4\xB8\xAD\xF0\x9F\x98\x80", "\"\xE4\xB8\xAD\xF0\x9F\x98\x80\""}, // 中 and an emoji
        {"\xD6\xD0", "\"\\uFFFD\\uFFFD\""},                                   // GBK, not UTF-8
        {"\xE4\xB8", "\"\\uFFFD\\uFFFD\""},                                   // cut sequence
        {"\xC0\xAF\xED\xA0\x80", "\"\\uFFFD\\uFFFD\\uFFFD\\uFFFD\\uFFFD\""},  // overlong, surrogate
    };
    for (auto const &[in, out] : rows)
        EXPECT_EQ(JsonString(in), out) << in;
    EXPECT_EQ(JsonObject().Add("id", std::int64_t{-1}).Add("t", "x").AddRaw("n", "null").Close(),
              "{\"id\": -1, \"t\": \"x\", \"n\": null}");
    EXPECT_EQ(JsonObject().Close(), "{}");
}

// Each row: an offset, then its line and column as TextPositions gives them.
using Places = std::vector<std::array<std::uint64_t, 3>>;
Places At(TextPositions const &positions, Places const &rows) {
    Places out;
    for (auto const &row : rows)
        out.push_back({row[0], positions.At(row[0]).line, positions.At(row[0]).column});
    return out;
}

TEST(CliTextPosition, LinesEndAtLineFeedsAndColumnsCountCharacters) {
    Ril_SetAnsiCodePage(936);
    // GBK: 中文 is two characters of two bytes each; CR LF ends a line once; a lone CR does not.
    TextPositions const gbk(Bytes("ab\r\n\xD6\xD0\xCE\xC4x\ry\n\nz"), false);
    Places const narrow = {{0, 1, 1}, {2, 1, 3},  {3, 1, 4},  {4, 2, 1},  {6, 2, 2},
                           {8, 2, 3}, {10, 2, 5}, {12, 3, 1}, {13, 4, 1}, {99, 4, 2}};
    EXPECT_EQ(At(gbk, narrow), narrow);
    // UTF-16 with its mark: the mark takes no column, a surrogate pair is one character.
    TextPositions const wide(Utf16(u"a\U0001F600b\r\nc"), true);
    Places const units = {{0, 1, 1}, {2, 1, 1}, {4, 1, 2}, {8, 1, 3}, {10, 1, 4}, {14, 2, 1}};
    EXPECT_EQ(At(wide, units), units);
    // A UTF-8 mark takes no column when the file is read as UTF-8.
    Ril_SetAnsiCodePage(65001);
    TextPositions const utf8(Bytes("\xEF\xBB\xBF\xE4\xB8\xADx"), false);
    Places const marked = {{3, 1, 1}, {6, 1, 2}};
    EXPECT_EQ(At(utf8, marked), marked);
    Ril_SetAnsiCodePage(0);
}

TEST(CliLanguage, FirstSetVariableDecidesAndOptionWins) {
    static std::map<std::string, std::string> current;
    auto const lookup = [](char const *name) -> char const * {
        auto const found = current.find(name);
        return found == current.end() ? nullptr : found->second.c_str();
    };
    std::pair<std::map<std::string, std::string>, MessageLanguage> const rows[] = {
        {{}, MessageLanguage::kEnglish},
        {{{"LANG", "zh_CN.UTF-8"}}, MessageLanguage::kChinese},
        {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C"}}, MessageLanguage::kEnglish},
        {{{"LANG", "en_US"}, {"LC_MESSAGES", "zh_TW"}}, MessageLanguage::kChinese},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "zh"}}, MessageLanguage::kChinese},
        {{{"LC_ALL", "de_DE"}, {"LANG", "zh_CN"}}, MessageLanguage::kEnglish},
    };
    for (auto const &[environment, expected] : rows) {
        current = environment;
        EXPECT_EQ(LanguageFromEnvironment(lookup), expected);
    }

    GlobalOptions options;
    char const *const arguments[] = {"dump", "--lang", "zh", "x.bin", "--quiet", "--", "--lang"};
    std::vector<char const *> const rest = TakeGlobalOptions(arguments, options);
    EXPECT_EQ(std::vector<std::string>(rest.begin(), rest.end()),
              (std::vector<std::string>{"dump", "x.bin", "--", "--lang"}));
    EXPECT_EQ(std::pair(options.language, options.quiet),
              std::pair(MessageLanguage::kChinese, true));
    // An option's values pass untouched, whatever they read; a later --quiet is still taken.
    char const *const valued[] = {"module",  "edit",     "m.dll",  "--add",   "1",       "M",
                                  "--quiet", "--holder", "--lang", "--quiet", "--commit"};
    options = {};
    std::vector<char const *> const kept = TakeGlobalOptions(valued, options, &OptionValueCount);
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.end()),
              (std::vector<std::string>{"module", "edit", "m.dll", "--add", "1", "M", "--quiet",
                                        "--holder", "--lang", "--commit"}));
    EXPECT_TRUE(options.quiet);
    char const *const english[] = {"--lang=en", "check"};
    EXPECT_EQ(TakeGlobalOptions(english, options).size(), 1u);
    EXPECT_EQ(options.language, MessageLanguage::kEnglish);
    auto usageError = [&](std::span<char const *const> arguments) -> std::string {
        try {
            TakeGlobalOptions(arguments, options);
        } catch (UsageError const &error) {
            return error.what();
        }
        return "";
    };
    char const *const bad[] = {"--lang", "fr"};
    char const *const missing[] = {"check", "--lang"};
    EXPECT_EQ(usageError(bad), "invalid language 'fr' (zh or en)");
    EXPECT_EQ(usageError(missing), "option '--lang' needs a value");
}

} // namespace
} // namespace rilcli
