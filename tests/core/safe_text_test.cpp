// Tests of the bounded copy, concatenate and format helpers and the placeholder form.
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

// Both forms give the same characters and results; nothing is written past the capacity.
TEST(SafeText, PlaceholderFormsCutLikeTheOtherHelpers) {
    struct Row {
        unsigned number;
        std::size_t capacity;
        ril::HResult result;
        const char *text;
    };
    const Row rows[] = {
        {0, 5, kSOk, "&000"},
        {7, 5, kSOk, "&007"},
        {99, 5, kSOk, "&099"},
        {123, 5, kEInsufficientBuffer, "&012"},
        {4567, 5, kEInsufficientBuffer, "&045"},
        {4294967295u, 16, kSOk, "&04294967295"},
        {7, 3, kEInsufficientBuffer, "&0"},
        {7, 1, kEInsufficientBuffer, ""},
    };
    for (const Row &row : rows) {
        std::vector<char> narrow(row.capacity + 4, 'x');
        std::vector<std::uint16_t> wide(row.capacity + 4, 0xAAAA);
        EXPECT_EQ(row.result, ril::FormatPlaceholderA(narrow.data(), row.capacity, row.number));
        EXPECT_EQ(row.result, ril::FormatPlaceholderW(wide.data(), row.capacity, row.number));
        EXPECT_STREQ(row.text, narrow.data()) << row.number;
        const std::string text = row.text;
        EXPECT_EQ(std::u16string(text.begin(), text.end()), Wide(wide.data())) << row.number;
        EXPECT_EQ('x', narrow[row.capacity]);
        EXPECT_EQ(0xAAAA, wide[row.capacity]);
    }
    std::uint16_t untouched[2] = {1, 2};
    EXPECT_EQ(kEInvalidArg, ril::FormatPlaceholderW(untouched, 0, 1));
    EXPECT_EQ(kEInvalidArg, ril::FormatPlaceholderW(untouched, kTooLarge, 1));
    EXPECT_EQ(1, untouched[0]);
}

} // namespace
