// The exported conversions: the size rule, the last-error protocol, and real code pages.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ril::test {
namespace {

std::u16string ToWide(const std::string &bytes, unsigned codePage) {
    int size = Ril_MbcsToWcs(bytes.c_str(), nullptr, codePage);
    EXPECT_GT(size, 0);
    if (size <= 0)
        return u"<conversion failed>";
    std::vector<RIL_WCHAR> out(static_cast<std::size_t>(size), 0xAAAA);
    EXPECT_EQ(Ril_MbcsToWcs(bytes.c_str(), out.data(), codePage), size);
    EXPECT_EQ(out.back(), 0);
    return Wide(out.data());
}

std::string ToBytes(const std::u16string &text, unsigned codePage) {
    int size = Ril_WcsToMbcs(W(text), nullptr, codePage);
    EXPECT_GT(size, 0);
    if (size <= 0)
        return "<conversion failed>";
    std::string out(static_cast<std::size_t>(size), '\xAA');
    EXPECT_EQ(Ril_WcsToMbcs(W(text), out.data(), codePage), size);
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

TEST(CodePageApi, SizeRuleAndLastError) {
    RIL_WCHAR empty[1] = {0};
    EXPECT_EQ(Ril_WcsToMbcs(empty, nullptr, 0), 1);
    EXPECT_EQ(Ril_GetLastError(), 0);

    RIL_WCHAR abc[5] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
    EXPECT_EQ(Ril_MbcsToWcs("ABC", abc, 0), 4);
    EXPECT_EQ(Wide(abc), u"ABC");
    EXPECT_EQ(abc[4], 0xAAAA); // nothing written past the result

    char narrow[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(Ril_WcsToMbcs(nullptr, narrow, 0), 0);
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);
    EXPECT_EQ(narrow[0], 'x');
    EXPECT_EQ(Ril_MbcsToWcs(nullptr, nullptr, 0), 0);
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);

    // A code page no converter serves is an invalid argument.
    EXPECT_EQ(Ril_MbcsToWcs("A", abc, 12345), 0);
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);
    EXPECT_EQ(Ril_WcsToMbcs(W(u"A"), nullptr, 12345), 0);
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);

    // Choosing a code page leaves the last error alone, refused or not; every successful
    // conversion clears an earlier error, and only a failing one sets it.
    EXPECT_EQ(Ril_SetAnsiCodePage(12345), 0xFFFFFFFFu);
    EXPECT_EQ(Ril_GetLastError(), -102);
    const unsigned previous = Ril_SetAnsiCodePage(0);
    EXPECT_EQ(Ril_GetLastError(), -102);
    Ril_SetAnsiCodePage(previous);
    EXPECT_EQ(Ril_MbcsToWcs("A", nullptr, 65001), 2);
    EXPECT_EQ(Ril_GetLastError(), 0);
    EXPECT_EQ(Ril_WcsToMbcs(W(u"A"), narrow, 65001), 2);
    EXPECT_EQ(Ril_GetLastError(), 0);
    EXPECT_STREQ(narrow, "A");
}

TEST(CodePageApi, CodePagesConvertBothWays) {
    const std::string gbk = "\xD6\xD0\xCE\xC4 OK"; // "中文 OK" in GBK
    EXPECT_EQ(ToWide(gbk, 936), u"\u4E2D\u6587 OK");
    EXPECT_EQ(ToWide(gbk, 0), u"\u4E2D\u6587 OK"); // the default ANSI code page is 936
    EXPECT_EQ(ToBytes(u"\u4E2D\u6587 OK", 936), gbk);
    EXPECT_EQ(ToBytes(u"\u20AC", 936), "\x80"); // code page 936 has the euro at 0x80

    const std::u16string astral = u"a\U0001F600\u00E9";
    EXPECT_EQ(ToBytes(astral, 65001), "a\xF0\x9F\x98\x80\xC3\xA9");
    EXPECT_EQ(ToWide("a\xF0\x9F\x98\x80\xC3\xA9", 65001), astral);
    EXPECT_EQ(ToWide("\xE9t\xE9", 1252), u"\u00E9t\u00E9");
    EXPECT_EQ(ToWide("\x82\xA0", 932), u"\u3042");
    EXPECT_EQ(ToWide("\xB0\xA1", 949), u"\uAC00");
    EXPECT_EQ(ToWide("\xA4\x40", 950), u"\u4E00");
    EXPECT_EQ(ToWide("\xE0", 28595), u"\u0440");
    EXPECT_EQ(ToWide("\x81\x30\x81\x30", 54936), u"\u0080");

    // Texts longer than any internal scratch area convert whole.
    std::u16string longText(5000, u'\u4E2D');
    std::string longBytes = ToBytes(longText, 936);
    EXPECT_EQ(longBytes.size(), 10000u);
    EXPECT_EQ(ToWide(longBytes, 936), longText);
}

TEST(CodePageApi, BadInputIsReplacedNotRefused) {
    EXPECT_EQ(ToWide("A\x81", 936), u"A\uFFFD"); // a lead byte without its trail
    EXPECT_EQ(ToWide("\xFF"
                     "B",
                     65001),
              u"\uFFFD"
              "B");                               // not UTF-8
    EXPECT_EQ(ToBytes(u"x\u4E2Dy", 1252), "x?y"); // not in the code page
    std::u16string lone = u"a";
    lone.push_back(char16_t(0xD800));
    lone.push_back(u'b');
    EXPECT_EQ(ToBytes(lone, 936), "a?b");
    EXPECT_EQ(ToBytes(u"\U0001F600", 1252), "?"); // one mark for one character
    // glibc's UHC refuses A2 E8 only after consuming it: what follows is kept.
    EXPECT_EQ(ToWide("\xA2\xE8"
                     "B\xA2\xE8",
                     949),
              u"\uFFFD"
              "B\uFFFD");
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
