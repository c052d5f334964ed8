// Tests of the bounded copy, concatenate and format helpers and the placeholder form.
#include "core/safe_text.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>

using namespace ril::core;

namespace {

using namespace ril;

constexpr std::size_t kTooLarge = 0x80000000u;

// Runs `op` on a buffer of 'x' (or 0xAAAA) units that starts with a given text: the result
// and the whole buffer after it, so that a unit written past the capacity shows.
std::pair<HResult, std::string> On(std::string buffer, std::function<HResult(char *)> const &op) {
    const HResult result = op(buffer.data());
    return {result, buffer};
}
std::pair<HResult, std::u16string> On(std::u16string buffer,
                                      std::function<HResult(std::uint16_t *)> const &op) {
    const HResult result = op(reinterpret_cast<std::uint16_t *>(buffer.data()));
    return {result, buffer};
}
std::string N(std::string const &start, std::size_t size) {
    return start + std::string(size - start.size(), 'x');
}
std::u16string U(std::u16string const &start, std::size_t size) {
    return start + std::u16string(size - start.size(), u'\xAAAA');
}
using Z = std::string;

TEST(SafeText, CopyCatAndFormatCutAndRefuse) {
    const std::string p519(519, 'p'), p520 = p519 + "q", t1023(1023, 'm');
    char const *q519 = p519.c_str(), *q520 = p520.c_str(), *q1023 = t1023.c_str();
    const std::string eight = N("", 8), sixteen = N("", 16);
    auto W16 = [](char16_t const *text) { return reinterpret_cast<const std::uint16_t *>(text); };
    // clang-format off
    EXPECT_EQ(On(N("", 522), [&](char *b) { return SafeCopyA(b, 520, q519); }), std::pair(kSOk, p519 + Z(1, 0) + "xx"));
    EXPECT_EQ(On(N("", 522), [&](char *b) { return SafeCopyA(b, 520, q520); }), std::pair(kEInsufficientBuffer, p519 + Z(1, 0) + "xx"));
    EXPECT_EQ(On(eight, [](char *b) { return SafeCopyA(b, 0, "a"); }), std::pair(kEInvalidArg, eight));
    EXPECT_EQ(On(eight, [](char *b) { return SafeCopyA(b, kTooLarge, "a"); }), std::pair(kEInvalidArg, eight));
    EXPECT_EQ(On(eight, [](char *b) { return SafeCopyA(b, 0x7FFFFFFF, "ab"); }), std::pair(kSOk, N(Z("ab\0", 3), 8)));
    EXPECT_EQ(On(eight, [](char *b) { return SafeCopyA(b, 1, "a"); }), std::pair(kEInsufficientBuffer, N(Z(1, 0), 8)));
    EXPECT_EQ(On(eight, [](char *b) { return SafeCopyA(b, 1, ""); }), std::pair(kSOk, N(Z(1, 0), 8)));
    EXPECT_EQ(On(U(u"", 8), [&](std::uint16_t *b) { return SafeCopyW(b, 4, W16(u"\u4E2D\u6587z")); }), std::pair(kSOk, U(std::u16string(u"\u4E2D\u6587z\0", 4), 8)));
    EXPECT_EQ(On(U(u"", 8), [&](std::uint16_t *b) { return SafeCopyW(b, 4, W16(u"abcd")); }), std::pair(kEInsufficientBuffer, U(std::u16string(u"abc\0", 4), 8)));

    EXPECT_EQ(On(Z("abc\0xxxx", 8), [](char *b) { return SafeCatA(b, 8, "defg"); }), std::pair(kSOk, Z("abcdefg\0", 8))); // exactly 7
    EXPECT_EQ(On(Z("abcdefg\0", 8), [](char *b) { return SafeCatA(b, 8, "h"); }), std::pair(kEInsufficientBuffer, Z("abcdefg\0", 8)));
    EXPECT_EQ(On(Z("12345\0xx", 8), [](char *b) { return SafeCatA(b, 8, "6789"); }), std::pair(kEInsufficientBuffer, Z("1234567\0", 8)));
    EXPECT_EQ(On(Z("wxyz"), [](char *b) { return SafeCatA(b, 4, "a"); }), std::pair(kEInvalidArg, Z("wxyz"))); // no terminator
    EXPECT_EQ(On(Z("ab\0", 3), [](char *b) { return SafeCatA(b, kTooLarge, "a"); }), std::pair(kEInvalidArg, Z("ab\0", 3)));
    const std::u16string a0 = std::u16string(u"a\0", 2);
    EXPECT_EQ(On(U(a0, 6), [&](std::uint16_t *b) { return SafeCatW(b, 4, W16(u"\u4E2Dbcd")); }), std::pair(kEInsufficientBuffer, U(std::u16string(u"a\u4E2Db\0", 4), 6)));
    EXPECT_EQ(On(U(std::u16string(u"a\u4E2Db\0", 4), 6), [&](std::uint16_t *b) { return SafeCatW(b, 3, W16(u"x")); }), std::pair(kEInvalidArg, U(std::u16string(u"a\u4E2Db\0", 4), 6))); // no terminator in 3

    EXPECT_EQ(On(N("", 1026), [&](char *b) { return SafeFormatA(b, 1024, "%s", q1023); }), std::pair(kSOk, t1023 + Z(1, 0) + "xx"));
    EXPECT_EQ(On(N("", 1026), [&](char *b) { return SafeFormatA(b, 1024, "%sn", q1023); }), std::pair(kEInsufficientBuffer, t1023 + Z(1, 0) + "xx"));
    EXPECT_EQ(On(sixteen, [](char *b) { return SafeFormatA(b, 0, "a"); }), std::pair(kEInvalidArg, sixteen));
    EXPECT_EQ(On(sixteen, [](char *b) { return SafeFormatA(b, 1, "%s", ""); }), std::pair(kSOk, N(Z(1, 0), 16)));
    EXPECT_EQ(On(sixteen, [](char *b) { return SafeFormatA(b, 16, "%u|%d|%x", 4000000000u, -5, 0xBEEFu); }), std::pair(kEInsufficientBuffer, Z("4000000000|-5|b\0", 16)));
    EXPECT_EQ(On(sixteen, [](char *b) { return SafeFormatA(b, 16, "%u|%d|%x", 7u, -5, 0xBEEFu); }), std::pair(kSOk, N(Z("7|-5|beef\0", 10), 16)));
    // clang-format on
}

// Both forms give the same characters and results; nothing is written past the capacity.
TEST(SafeText, PlaceholderFormsCutLikeTheOtherHelpers) {
    const std::string untouched(16, 'x');
    const std::tuple<unsigned, std::size_t, HResult, std::string> rows[] = {
        {99, 5, kSOk, "&099"},
        {4567, 5, kEInsufficientBuffer, "&045"},
        {4294967295u, 16, kSOk, "&04294967295"},
        {7, 1, kEInsufficientBuffer, ""},
        {7, 0, kEInvalidArg, ""},
        {7, kTooLarge, kEInvalidArg, ""},
    };
    for (auto const &[number, capacity, result, text] : rows) {
        std::string narrow = untouched, expected = untouched;
        std::u16string wide(16, u'x');
        if (result != kEInvalidArg)
            expected.replace(0, text.size() + 1, text + '\0');
        EXPECT_EQ(FormatPlaceholderA(narrow.data(), capacity, number), result);
        EXPECT_EQ(
            FormatPlaceholderW(reinterpret_cast<std::uint16_t *>(wide.data()), capacity, number),
            result);
        EXPECT_EQ(std::make_pair(narrow, wide),
                  std::make_pair(expected, std::u16string(expected.begin(), expected.end())));
    }
}

} // namespace
