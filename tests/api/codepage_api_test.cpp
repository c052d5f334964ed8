// The exported conversions: the size rule, the last-error protocol, and real code pages.
#include "support/test_support.h"

#include <algorithm>

namespace ril::test {
namespace {

using Results = std::vector<long>;

// Through the exported functions: a size query, then the conversion into a buffer of
// exactly that size, which must end in its zero.
std::u16string ToWide(const std::string &bytes, unsigned codePage) {
    const int size = Ril_MbcsToWcs(bytes.c_str(), nullptr, codePage);
    std::vector<RIL_WCHAR> out(static_cast<std::size_t>(std::max(size, 1)), 0xAAAA);
    EXPECT_EQ(Ril_MbcsToWcs(bytes.c_str(), out.data(), codePage), size);
    return size > 0 && out.back() == 0 ? Wide(out.data()) : u"<conversion failed>";
}
std::string ToBytes(const std::u16string &text, unsigned codePage) {
    const int size = Ril_WcsToMbcs(W(text), nullptr, codePage);
    std::string out(static_cast<std::size_t>(std::max(size, 1)), '\xAA');
    EXPECT_EQ(Ril_WcsToMbcs(W(text), out.data(), codePage), size);
    return size > 0 && out.back() == 0 ? out.substr(0, out.size() - 1) : "<conversion failed>";
}

TEST(CodePageApi, SizeRuleAndLastError) {
    RIL_WCHAR empty[1] = {0};
    EXPECT_EQ((Results{Ril_WcsToMbcs(empty, nullptr, 0), Ril_GetLastError()}), (Results{1, 0}));

    RIL_WCHAR abc[5] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
    EXPECT_EQ(Ril_MbcsToWcs("ABC", abc, 0), 4);
    EXPECT_EQ(Wide(abc), u"ABC");
    EXPECT_EQ(abc[4], 0xAAAA); // nothing written past the result

    // Null texts and a code page that no converter serves are invalid arguments.
    char narrow[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ((Results{Ril_WcsToMbcs(nullptr, narrow, 0), Ril_GetLastError(), narrow[0],
                       Ril_MbcsToWcs(nullptr, nullptr, 0), Ril_GetLastError(),
                       Ril_MbcsToWcs("A", abc, 12345), Ril_GetLastError(),
                       Ril_WcsToMbcs(W(u"A"), nullptr, 12345), Ril_GetLastError()}),
              (Results{0, kErrArgument, 'x', 0, kErrArgument, 0, kErrArgument, 0, kErrArgument}));

    // Choosing a code page leaves the last error alone, refused or not; every successful
    // conversion clears an earlier error, and only a failing one sets it.
    EXPECT_EQ(Ril_SetAnsiCodePage(12345), 0xFFFFFFFFu);
    EXPECT_EQ(Ril_GetLastError(), -102);
    const unsigned previous = Ril_SetAnsiCodePage(0);
    EXPECT_EQ(Ril_GetLastError(), -102);
    Ril_SetAnsiCodePage(previous);
    EXPECT_EQ((Results{Ril_MbcsToWcs("A", nullptr, 65001), Ril_GetLastError(),
                       Ril_WcsToMbcs(W(u"A"), narrow, 65001), Ril_GetLastError()}),
              (Results{2, 0, 2, 0}));
    EXPECT_STREQ(narrow, "A");
}

// Real code pages both ways; bad input is replaced, not refused.
TEST(CodePageApi, CodePagesConvertBothWays) {
    enum Way { kToWide = 1, kToBytes = 2, kBoth = 3 };
    std::u16string lone = u"a";
    lone += char16_t(0xD800);
    std::string longGbk; // longer than any scratch area
    for (int k = 0; k < 5000; ++k)
        longGbk += "\xD6\xD0";
    // clang-format off
    const struct { std::string bytes; unsigned codePage; std::u16string wide; int way; } rows[] = {
        {"\xD6\xD0\xCE\xC4 OK", 936, u"\u4E2D\u6587 OK", kBoth},
        {"\xD6\xD0\xCE\xC4 OK", 0, u"\u4E2D\u6587 OK", kToWide}, // the default ANSI code page is 936
        {"\x80", 936, u"\u20AC", kToBytes},                       // the euro at 0x80
        {"a\xF0\x9F\x98\x80\xC3\xA9", 65001, u"a\U0001F600\u00E9", kBoth},
        {"\xE0", 28595, u"\u0440", kToWide},
        {"\x81\x30\x81\x30", 54936, u"\u0080", kToWide},
        {longGbk, 936, std::u16string(5000, u'\u4E2D'), kBoth},
        {"A\x81", 936, u"A\uFFFD", kToWide},       // a lead byte without its trail
        {"\xFF" "B", 65001, u"\uFFFD" "B", kToWide}, // not UTF-8
        {"x?y", 1252, u"x\u4E2Dy", kToBytes},       // not in the code page
        {"a?b", 936, lone + u"b", kToBytes},
        {"?", 1252, u"\U0001F600", kToBytes},       // one mark for one character
        // glibc's UHC refuses A2 E8 only after consuming it: what follows is kept.
        {"\xA2\xE8" "B\xA2\xE8", 949, u"\uFFFD" "B\uFFFD", kToWide},
    };
    // clang-format on
    for (const auto &[bytes, codePage, wide, way] : rows) {
        if (way & kToWide) {
            EXPECT_EQ(ToWide(bytes, codePage), wide) << bytes;
        }
        if (way & kToBytes) {
            EXPECT_EQ(ToBytes(wide, codePage), bytes) << bytes;
        }
    }
}

TEST(CodePageApi, AnsiCodePageCanBeChosen) {
    EXPECT_EQ(Ril_SetAnsiCodePage(65001), 0u); // the default was in force
    EXPECT_EQ(ToWide("\xC3\xA9", 0), u"\u00E9");
    EXPECT_EQ(Ril_SetAnsiCodePage(1252), 65001u);
    EXPECT_EQ(ToWide("\xE9", 0), u"\u00E9");
    // Code pages that cannot serve as the ANSI code page are refused; the setting stays.
    for (unsigned refused : {12345u, 1200u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Ril_SetAnsiCodePage(refused), 0xFFFFFFFFu) << refused;
        EXPECT_EQ(ToWide("\xE9", 0), u"\u00E9") << refused;
    }
    EXPECT_EQ(Ril_SetAnsiCodePage(0), 1252u);
    EXPECT_EQ(ToWide("\xD6\xD0", 0), u"\u4E2D");
}

} // namespace
} // namespace ril::test
