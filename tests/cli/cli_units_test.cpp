// Unit tests of the tool's helpers that the command runs do not pin down: the message
// language and the code page that the environment chooses, and option values that read like
// options.
#include "code_page.h"
#include "commands.h"

#include "Ril4410.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace rilcli {
namespace {

// The environment that the lookups below read.
std::map<std::string, std::string> current;
char const *Lookup(char const *name) {
    auto const found = current.find(name);
    return found == current.end() ? nullptr : found->second.c_str();
}

TEST(CliLanguage, FirstSetVariableDecides) {
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
        EXPECT_EQ(LanguageFromEnvironment(&Lookup), expected);
    }
}

TEST(CliCodePage, LocaleCodesetChoosesTheDefault) {
    // clang-format off
    std::pair<char const *, unsigned> const rows[] = {
        {"C.UTF-8", 65001}, {"en_US.utf8", 65001}, {"UTF-8", 65001}, {"de_DE.UTF-8@euro", 65001},
        {"zh_CN.GB18030", 54936}, {"zh_CN.gbk", 936}, {"zh_CN.GB2312", 936}, {"zh_TW.Big5", 950},
        {"ja_JP.Shift_JIS", 932}, {"ja_JP.SJIS", 932}, {"ko_KR.euc-kr", 949}, {"ko_KR.EUCKR@x", 949},
        {"C", 0}, {"POSIX", 0}, {"ja_JP.eucJP", 0}, {"zh_CN", 0}, {"", 0}, {"en_US.ISO-8859-1", 0}};
    // clang-format on
    for (auto const &[locale, codePage] : rows)
        EXPECT_EQ(CodePageOfLocale(locale), codePage) << locale;
#if !defined(_WIN32) // where the system's ANSI code page is the locale's
    // The first of LC_ALL, LC_CTYPE and LANG that is set and not empty decides.
    std::pair<std::map<std::string, std::string>, unsigned> const order[] = {
        {{{"LANG", "zh_CN.GBK"}}, 936},
        {{{"LANG", "zh_CN.GBK"}, {"LC_CTYPE", "C.UTF-8"}}, 65001},
        {{{"LC_ALL", "ja_JP.SJIS"}, {"LC_CTYPE", "C.UTF-8"}}, 932},
        {{{"LC_ALL", ""}, {"LC_CTYPE", "C"}, {"LANG", "C.UTF-8"}}, 0},
    };
    for (auto const &[environment, codePage] : order) {
        current = environment;
        Ril_SetAnsiCodePage(0);
        std::optional<std::string> const chosen = ApplyCodePage(Invocation{}, &Lookup);
        EXPECT_EQ(Ril_GetChosenAnsiCodePage(), codePage);
        EXPECT_EQ(chosen.has_value(), codePage != 0);
    }
    current = {{"LANG", "C.UTF-8"}};
    EXPECT_EQ(ApplyCodePage(Invocation{}, &Lookup),
              "code page 65001 (from the locale's codeset UTF-8)");
    // --code-page and --utf8 win.
    Invocation given;
    given.values["--code-page"] = "950";
    EXPECT_EQ(ApplyCodePage(given, &Lookup), std::nullopt);
    EXPECT_EQ(Ril_GetChosenAnsiCodePage(), 950u);
    Ril_SetAnsiCodePage(0);
#endif
}

// The values of options pass untouched, whatever they read; the options that may repeat keep
// their order; --quiet and --lang are taken wherever they stand.
TEST(CliArguments, ValuesPassUntouchedAndRepeatedOptionsKeepTheirOrder) {
    char const *const arguments[] = {
        "--lang",   "zh", "module",   "edit",   "m.dll",     "--add", "1",  "M",       "--quiet",
        "--remove", "2",  "--holder", "--lang", "--add=new", "N",     "-h", "--quiet", "--commit"};
    ParsedLine const line = ParseArguments(arguments, Commands());
    Invocation const &invocation = line.invocation;
    EXPECT_EQ(invocation.operands, (std::vector<std::string>{"edit", "m.dll"}));
    EXPECT_EQ(invocation.values,
              (std::map<std::string, std::string>{{"--holder", "--lang"}, {"--commit", ""}}));
    std::vector<std::pair<std::string, std::vector<std::string>>> repeated;
    for (RepeatedOption const &option : invocation.repeated)
        repeated.emplace_back(option.name, option.values);
    EXPECT_EQ(repeated, (decltype(repeated){{"--add", {"1", "M", "--quiet"}},
                                            {"--remove", {"2"}},
                                            {"--add", {"new", "N", "-h"}}}));
    EXPECT_EQ(std::pair(line.options.language, line.options.quiet),
              std::pair(MessageLanguage::kChinese, true));
}

} // namespace
} // namespace rilcli
