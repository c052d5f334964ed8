// Unit tests of the tool's helpers that the command runs do not pin down: JSON escaping and
// the choice of the message language.
#include "commands.h"
#include "diagnostics.h"
#include "global_options.h"
#include "json_writer.h"

#include "Ril4410.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace rilcli {
namespace {

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
