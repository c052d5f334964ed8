// Tests of the bounded copy, concatenate and format helpers, narrow and wide.
#include "core/safe_text.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using ril::kEInsufficientBuffer;
using ril::kEInvalidArg;
using ril::kSOk;
using ril::test::W;
using ril::test::Wide;

constexpr std::size_t kTooLarge = 0x80000000u;

TEST(SafeText, CopyAFitsCutsAndRefuses) {
    std::vector<char> buffer(600, 'x');
    const std::string path519(519, 'p');
    EXPECT_EQ(kSOk, ril::SafeCopyA(buffer.data(), 520, path519.c_str()));
    EXPECT_EQ(path519, buffer.data());

    const std::string path520 = path519 + "q";
    buffer.assign(600, 'x');
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCopyA(buffer.data(), 520, path520.c_str()));
    EXPECT_EQ(path519, buffer.data());
    EXPECT_EQ('x', buffer[520]); // nothing past the capacity

    buffer.assign(8, 'x');
    EXPECT_EQ(kEInvalidArg, ril::SafeCopyA(buffer.data(), 0, "a"));
    EXPECT_EQ(kEInvalidArg, ril::SafeCopyA(buffer.data(), kTooLarge, "a"));
    EXPECT_EQ(std::vector<char>(8, 'x'), buffer);

    EXPECT_EQ(kSOk, ril::SafeCopyA(buffer.data(), 0x7FFFFFFF, "ab"));
    EXPECT_STREQ("ab", buffer.data());
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCopyA(buffer.data(), 1, "a"));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(kSOk, ril::SafeCopyA(buffer.data(), 1, ""));
}

TEST(SafeText, CopyWCountsUnits) {
    std::vector<std::uint16_t> buffer(8, 0xAAAA);
    EXPECT_EQ(kSOk, ril::SafeCopyW(buffer.data(), 4, W(u"\u4E2D\u6587z")));
    EXPECT_EQ(u"\u4E2D\u6587z", Wide(buffer.data()));
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCopyW(buffer.data(), 4, W(u"abcd")));
    EXPECT_EQ(u"abc", Wide(buffer.data()));
    EXPECT_EQ(0xAAAA, buffer[4]);
    EXPECT_EQ(kEInvalidArg, ril::SafeCopyW(buffer.data(), 0, W(u"q")));
    EXPECT_EQ(kEInvalidArg, ril::SafeCopyW(buffer.data(), kTooLarge, W(u"q")));
    EXPECT_EQ(u"abc", Wide(buffer.data()));
}

TEST(SafeText, CatAppendsCutsAndRefusesFullBuffer) {
    char buffer[8] = "abc";
    EXPECT_EQ(kSOk, ril::SafeCatA(buffer, 8, "defg")); // exactly 7 characters
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCatA(buffer, 8, "h"));
    EXPECT_STREQ("abcdefg", buffer);

    std::memcpy(buffer, "12345", 6);
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCatA(buffer, 8, "6789"));
    EXPECT_STREQ("1234567", buffer);

    char full[4] = {'w', 'x', 'y', 'z'}; // no terminator within the capacity
    EXPECT_EQ(kEInvalidArg, ril::SafeCatA(full, 4, "a"));
    EXPECT_EQ(0, std::memcmp(full, "wxyz", 4));
    EXPECT_EQ(kEInvalidArg, ril::SafeCatA(buffer, 0, "a"));
    EXPECT_EQ(kEInvalidArg, ril::SafeCatA(buffer, kTooLarge, "a"));
    EXPECT_STREQ("1234567", buffer);

    std::uint16_t wide[6] = {'a', 0, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeCatW(wide, 4, W(u"\u4E2Dbcd")));
    EXPECT_EQ(u"a\u4E2Db", Wide(wide));
    EXPECT_EQ(0xAAAA, wide[4]);
    EXPECT_EQ(kEInvalidArg, ril::SafeCatW(wide, 3, W(u"x"))); // terminator at index 3
    EXPECT_EQ(u"a\u4E2Db", Wide(wide));
}

TEST(SafeText, FormatAExactFitAndCut) {
    std::vector<char> buffer(1100, 'x');
    const std::string text1023(1023, 'm');
    EXPECT_EQ(kSOk, ril::SafeFormatA(buffer.data(), 1024, "%s", text1023.c_str()));
    EXPECT_EQ(text1023, buffer.data());

    buffer.assign(1100, 'x');
    EXPECT_EQ(kEInsufficientBuffer, ril::SafeFormatA(buffer.data(), 1024, "%sn", text1023.c_str()));
    EXPECT_EQ(text1023, buffer.data());
    EXPECT_EQ('x', buffer[1024]);

    buffer.assign(16, 'x');
    EXPECT_EQ(kEInvalidArg, ril::SafeFormatA(buffer.data(), 0, "a"));
    EXPECT_EQ(kEInvalidArg, ril::SafeFormatA(buffer.data(), kTooLarge, "a"));
    EXPECT_EQ(std::vector<char>(16, 'x'), buffer);

    EXPECT_EQ(kEInsufficientBuffer,
              ril::SafeFormatA(buffer.data(), 16, "%u|%d|%x", 4000000000u, -5, 0xBEEFu));
    EXPECT_STREQ("4000000000|-5|b", buffer.data());
    EXPECT_EQ(kSOk, ril::SafeFormatA(buffer.data(), 16, "%u|%d|%x", 7u, -5, 0xBEEFu));
    EXPECT_STREQ("7|-5|beef", buffer.data());
}

struct WideResult {
    ril::HResult result;
    std::u16string text;
};

// Formats into `capacity` units of a larger buffer and checks that nothing past them changed.
template <typename... Args>
WideResult FormatW(std::size_t capacity, const std::u16string &format, Args... args) {
    std::vector<std::uint16_t> buffer(capacity + 4, 0xAAAA);
    WideResult out;
    out.result = ril::SafeFormatW(buffer.data(), capacity, W(format), args...);
    for (std::size_t i = capacity; i < buffer.size(); ++i)
        EXPECT_EQ(0xAAAA, buffer[i])
            << "unit " << i << " written for " << std::string(format.begin(), format.end());
    out.text = Wide(buffer.data());
    return out;
}

void ExpectW(const WideResult &got, ril::HResult result, const std::u16string &text) {
    EXPECT_EQ(result, got.result);
    EXPECT_EQ(text, got.text);
}

TEST(SafeText, FormatWConversions) {
    ExpectW(FormatW(64, u"&0%.2u", 0u), kSOk, u"&000");
    ExpectW(FormatW(64, u"&0%.2u", 99u), kSOk, u"&099");
    ExpectW(FormatW(5, u"&0%.2u", 7u), kSOk, u"&007"); // exactly capacity - 1
    ExpectW(FormatW(5, u"&0%.2u", 4567u), kEInsufficientBuffer, u"&045");
    ExpectW(FormatW(64, u"%s and %ls", W(u"\u4E2D"), W(u"b")), kSOk, u"\u4E2D and b");
    ExpectW(FormatW(64, u"%5s|%-5s|%.2s", W(u"ab"), W(u"ab"), W(u"abc")), kSOk, u"   ab|ab   |ab");
    ExpectW(FormatW(64, u"%d %i %+d % d", -7, 42, 3, 4), kSOk, u"-7 42 +3  4");
    ExpectW(FormatW(64, u"%05d|%-4d|%x|%X|%#x|%o", -42, 7, 255u, 255u, 255u, 8u), kSOk,
            u"-0042|7   |ff|FF|0xff|10");
    ExpectW(FormatW(64, u"%*d|%-*d|%.*s", 4, 1, 3, 2, 2, W(u"xyz")), kSOk, u"   1|2  |xy");
    ExpectW(FormatW(64, u"%c%3c%%", 0x4E2D, 'z'), kSOk, u"\u4E2D  z%");
    ExpectW(FormatW(64, u"%lld %llu %hd %hhu %I64d", -1099511627776LL, 18446744073709551615ULL,
                    70000, 300, 5LL),
            kSOk, u"-1099511627776 18446744073709551615 4464 44 5");
    ExpectW(FormatW(64, u"%.2f|%e", 3.14159, 1.5), kSOk, u"3.14|1.500000e+00");
    ExpectW(FormatW(64, u"[%s]", static_cast<const std::uint16_t *>(nullptr)), kSOk, u"[(null)]");
}

TEST(SafeText, FormatWBoundsAndRefusals) {
    const std::u16string text1023(1023, u'w');
    ExpectW(FormatW(1024, u"%s", W(text1023)), kSOk, text1023);
    ExpectW(FormatW(1024, u"%sv", W(text1023)), kEInsufficientBuffer, text1023);
    ExpectW(FormatW(1024, text1023 + u"v"), kEInsufficientBuffer, text1023);
    // Fields wider than the scratch buffer, with and without room for them.
    ExpectW(FormatW(400, u"%300d", 7), kSOk, std::u16string(299, u' ') + u"7");
    ExpectW(FormatW(64, u"%300d", 7), kEInsufficientBuffer, std::u16string(63, u' '));
    ExpectW(FormatW(64, u"%2147483647s", W(u"a")), kEInsufficientBuffer, std::u16string(63, u' '));
    // Unsupported or broken conversions leave an empty text.
    ExpectW(FormatW(64, u"ab%n", nullptr), kEInvalidArg, u"");
    ExpectW(FormatW(64, u"ab%hs", "narrow"), kEInvalidArg, u"");
    ExpectW(FormatW(64, u"ab%"), kEInvalidArg, u"");

    std::uint16_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(kEInvalidArg, ril::SafeFormatW(buffer, 0, W(u"x")));
    EXPECT_EQ(kEInvalidArg, ril::SafeFormatW(buffer, kTooLarge, W(u"x")));
    EXPECT_EQ(4, buffer[3]);
    EXPECT_EQ(1, buffer[0]);
}

} // namespace
