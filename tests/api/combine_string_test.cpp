// The text helper exports: Ril_CombineStringA / W, Ril_StringToLanguage, and the conversions
// (the size rule, the last-error protocol, real code pages).
#include "platform/fault.h"
#include "support/test_support.h"

#include <algorithm>

using namespace ril::core;

namespace ril::test {
namespace {

constexpr char kSentinel = '#';

// Runs Ril_CombineStringA on `text` in a buffer of `size` bytes (plus sentinels behind it),
// checks the result and the text, and that no byte past the size was written. Sizes the
// library must refuse get a buffer that only holds the text.
void ExpectCombined(std::string const &text, char const *value, RIL_ULONG number, RIL_ULONG size,
                    HResult result, std::string const &combined) {
    const std::size_t owned = std::max<std::size_t>(size <= 4096 ? size : 0, text.size() + 1);
    std::vector<char> buffer(owned + 8, kSentinel);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer.begin());
    EXPECT_EQ(Ril_CombineStringA(buffer.data(), value, number, size), result) << text;
    EXPECT_EQ(std::string(buffer.data()), combined);
    EXPECT_EQ(std::string(buffer.begin() + static_cast<long>(owned), buffer.end()),
              std::string(8, kSentinel));
}

TEST(CombineString, ReplacesFirstPlaceholderA) {
    // text, value, number, size, result, the text then
    const std::tuple<char const *, char const *, RIL_ULONG, RIL_ULONG, HResult, char const *>
        rows[] = {
            {"Hello&001abcd", "World", 1, 64, 0, "HelloWorldabcd"},
            {"a&001b&001c", "X", 1, 64, 0, "aXb&001c"},
            {"end&001", "VALUE", 1, 64, 0, "endVALUE"},
            {"&001", "v", 1, 2, 0, "v"},      // exactly size - 1
            {"&0100", "v", 100, 64, 0, "v0"}, // &0100 is &010 followed by 0: three digits kept
            // Cuts at the buffer size: the value overflows the room, or the tail is cut.
            {"ab&001xy", "1234567890", 1, 10, 0, "ab1234567"},
            {"ab&001xyz", "12345", 1, 10, 0, "ab12345xy"},
            // Sizes the bounded helpers refuse leave the text unchanged and still give 0.
            {"ab&001xy", "v", 1, 0, 0, "ab&001xy"},
            {"ab&001xy", "v", 1, 0x80000000u, 0, "ab&001xy"},
            {"abcde&001xy", "v", 1, 5, 0, "abcde&001xy"}, // no room before the placeholder
            // Failures leave the text unchanged.
            {"&01", "v", 1, 64, kEFail, "&01"},
            {"&002", "v", 1, 64, kEFail, "&002"},
        };
    for (auto const &[text, value, number, size, result, combined] : rows)
        ExpectCombined(text, value, number, size, result, combined);
    char text[] = "a&001";
    EXPECT_EQ(Ril_CombineStringA(nullptr, "v", 1, 8), kEFail);
    EXPECT_EQ(Ril_CombineStringA(text, nullptr, 1, 8), kEFail);
    platform::ArmFault(platform::Fault::Alloc, 1);
    ExpectCombined("ab&001cd", "v", 1, 64, kEOutOfMemory, "ab&001cd");
    // A placeholder at the end saves no tail, so no memory is needed.
    platform::ArmFault(platform::Fault::Alloc, 1);
    ExpectCombined("ab&001", "v", 1, 64, 0, "abv");
    platform::DisarmAllFaults();
}

// The wide form shares the narrow one's rules; its size counts UTF-16 units.
TEST(CombineString, WideCountsUnits) {
    const std::u16string text = u"\u4E2D\u6587&001\u503C";
    std::vector<RIL_WCHAR> buffer(text.begin(), text.end() + 1);
    buffer.resize(20, 0xAAAA);
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"xyz"), 1, 5), 0); // five units, four characters
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + 7), std::u16string(u"\u4E2D\u6587xy\0"
                                                                                 u"1\u503C",
                                                                                 7));
    std::copy(text.begin(), text.end() + 1, buffer.begin());
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"v"), 1, 20), kEOutOfMemory);
    EXPECT_EQ(
        std::make_tuple(Ril_CombineStringW(buffer.data(), W(u"v"), 2, 20), Wide(buffer.data())),
        std::make_tuple(kEFail, text));
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"x\u4E00y"), 1, 20), 0);
    EXPECT_EQ(Wide(buffer.data()), u"\u4E2D\u6587x\u4E00y\u503C");
}

// Keywords in any letter case; near misses yield the first value.
TEST(Language, KeywordsInAnyCase) {
    for (auto const &[name, value] :
         {std::pair("MULTILANGUAGE", 0), std::pair("chinesePRC", 4), std::pair("Mungarian", 9),
          std::pair("englishuk", 23), std::pair("TaGaLoG", 24)})
        EXPECT_EQ(Ril_StringToLanguage(name), value) << name;
    const std::string padded = "ENGLISH" + std::string(300, ' ');
    for (char const *name :
         {" ENGLISH", "ENGLISH ", "ENGLIS", "ENGLISHU", "HUNGARIAN", "", "KLINGON", "ENGLISH\xE9",
          "\xC9NGLISH", padded.c_str(), static_cast<char const *>(nullptr)})
        EXPECT_EQ(Ril_StringToLanguage(name), RIL_LANG_MULTILANGUAGE) << (name ? name : "null");
}

using Results = std::vector<long>;

// Through the exported functions: a size query, then the conversion into a buffer of
// exactly that size, which must end in its zero; nothing is written past it.
std::u16string ToWide(std::string const &bytes, unsigned codePage) {
    int const size = Ril_MbcsToWcs(bytes.c_str(), nullptr, codePage);
    std::vector<RIL_WCHAR> out(static_cast<std::size_t>(std::max(size, 0)) + 1, 0xAAAA);
    EXPECT_EQ(Ril_MbcsToWcs(bytes.c_str(), out.data(), codePage), size);
    EXPECT_EQ(out.back(), 0xAAAA);
    return size > 0 && out[size - 1] == 0 ? Wide(out.data()) : u"<conversion failed>";
}
std::string ToBytes(std::u16string const &text, unsigned codePage) {
    int const size = Ril_WcsToMbcs(W(text), nullptr, codePage);
    std::string out(static_cast<std::size_t>(std::max(size, 1)), '\xAA');
    EXPECT_EQ(Ril_WcsToMbcs(W(text), out.data(), codePage), size);
    return size > 0 && out.back() == 0 ? out.substr(0, out.size() - 1) : "<conversion failed>";
}

// The last error of the conversions, also across choices of the ANSI code page.
TEST(CodePageApi, SizeRuleAndLastError) {
    // Null texts and a code page that no converter serves are invalid arguments.
    char narrow[4] = {'x', 'x', 'x', 'x'};
    RIL_WCHAR wide[2] = {0xAAAA, 0xAAAA};
    EXPECT_EQ(
        (Results{Ril_WcsToMbcs(nullptr, narrow, 0), Ril_GetLastError(), narrow[0],
                 Ril_MbcsToWcs(nullptr, nullptr, 0), Ril_GetLastError(),
                 Ril_MbcsToWcs("A", wide, 12345), Ril_GetLastError(), wide[0],
                 Ril_WcsToMbcs(W(u"A"), nullptr, 12345), Ril_GetLastError()}),
        (Results{0, kErrArgument, 'x', 0, kErrArgument, 0, kErrArgument, 0xAAAA, 0, kErrArgument}));

    // Every successful conversion clears an earlier error, and only a failing one sets it.
    EXPECT_EQ((Results{Ril_MbcsToWcs("A", nullptr, 65001), Ril_GetLastError(),
                       Ril_WcsToMbcs(W(u"A"), narrow, 65001), Ril_GetLastError()}),
              (Results{2, 0, 2, 0}));
    EXPECT_STREQ(narrow, "A");

    // Code page 0 converts in the one chosen. Choosing leaves the last error alone, refused or
    // not; code pages that cannot serve as the ANSI code page are refused, the setting stays.
    EXPECT_EQ(Ril_SetAnsiCodePage(1252), 0u); // the default was in force
    EXPECT_EQ(ToWide("\xE9", 0), u"\u00E9");
    Ril_MbcsToWcs(nullptr, nullptr, 0); // the last error is now -102
    EXPECT_EQ((std::vector<unsigned>{Ril_SetAnsiCodePage(12345), Ril_SetAnsiCodePage(1200),
                                     Ril_SetAnsiCodePage(0xFFFFFFFFu), Ril_SetAnsiCodePage(0)}),
              (std::vector<unsigned>{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 1252u}));
    EXPECT_EQ(Ril_GetLastError(), -102);
    EXPECT_EQ(ToWide("\xD6\xD0", 0), u"\u4E2D"); // 0 chose the default again
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
        {"\x80", 936, u"\u20AC", kToBytes},                       // the euro at 0x80
        {"a\xF0\x9F\x98\x80\xC3\xA9\xF0\x90\x80\x80", 65001, u"a\U0001F600\u00E9\U00010000", kBoth},
        {"\xE0", 28595, u"\u0440", kToWide},
        {"\x81\x30\x81\x30", 54936, u"\u0080", kToWide},
        {longGbk, 936, std::u16string(5000, u'\u4E2D'), kBoth},
        {"A\x81", 936, u"A\uFFFD", kToWide},       // a lead byte without its trail
        {"\xFF" "B", 65001, u"\uFFFD" "B", kToWide}, // not UTF-8
        {"a?b", 936, lone + u"b", kToBytes},
        {"??", 1252, u"\U0001F600\U00010000", kToBytes},       // not in the code page: one mark a character
        // glibc's UHC refuses A2 E8 only after consuming it: what follows is kept.
        {"\xA2\xE8" "B\xA2\xE8", 949, u"\uFFFD" "B\uFFFD", kToWide},
    };
    // clang-format on
    for (auto const &[bytes, codePage, wide, way] : rows) {
        if (way & kToWide) {
            EXPECT_EQ(ToWide(bytes, codePage), wide) << bytes;
        }
        if (way & kToBytes) {
            EXPECT_EQ(ToBytes(wide, codePage), bytes) << bytes;
        }
    }
}

} // namespace
} // namespace ril::test
