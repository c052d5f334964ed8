// Tests of Ril_CombineStringA / Ril_CombineStringW: placeholder numbering, in-place
// replacement, cuts at the buffer's size, and the failure results.
#include "Ril4410.h"

#include "platform/fault.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr RIL_LONG kEFail = static_cast<RIL_LONG>(0x80004005u);
constexpr RIL_LONG kEOutOfMemory = static_cast<RIL_LONG>(0x8007000Eu);
constexpr char kSentinel = '#';

struct Combined {
    RIL_LONG result;
    std::string text;
};

// Runs Ril_CombineStringA on `text` in a buffer of `size` bytes (plus sentinels behind it)
// and checks that no byte past the size was written. Sizes the library must refuse get a
// buffer that only holds the text.
Combined CombineA(const std::string &text, const char *value, RIL_ULONG number, RIL_ULONG size) {
    const std::size_t owned = std::max<std::size_t>(size <= 4096 ? size : 0, text.size() + 1);
    std::vector<char> buffer(owned + 8, kSentinel);
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[text.size()] = 0;
    Combined out{Ril_CombineStringA(buffer.data(), value, number, size), buffer.data()};
    EXPECT_EQ(std::string(8, kSentinel), std::string(buffer.begin() + owned, buffer.end()));
    return out;
}

void Expect(const Combined &got, RIL_LONG result, const std::string &text) {
    EXPECT_EQ(result, got.result);
    EXPECT_EQ(text, got.text);
}

TEST(CombineString, ReplacesFirstPlaceholderA) {
    // 13 characters with &001 at offset 5 and a five-character value.
    Expect(CombineA("Hello&001abcd", "World", 1, 64), 0, "HelloWorldabcd");
    Expect(CombineA("a&001b&001c", "X", 1, 64), 0, "aXb&001c");
    Expect(CombineA("x&001y", "[&001]", 1, 64), 0, "x[&001]y"); // not expanded again
    Expect(CombineA("end&001", "VALUE", 1, 64), 0, "endVALUE");
    Expect(CombineA("ab&001cd", "", 1, 64), 0, "abcd");
    Expect(CombineA("&001", "v", 1, 2), 0, "v"); // exactly size - 1
}

TEST(CombineString, PlaceholderNumbers) {
    const std::pair<RIL_ULONG, const char *> cases[] = {
        {0, "&000"},   {1, "&001"},   {9, "&009"},   {10, "&010"},  {99, "&099"},
        {100, "&010"}, {105, "&010"}, {109, "&010"}, {123, "&012"}, {4567, "&045"}};
    for (const auto &[number, placeholder] : cases)
        Expect(CombineA(std::string("<") + placeholder + ">", "v", number, 64), 0, "<v>");
    Expect(CombineA("&0100", "v", 100, 64), 0, "v0"); // &0100 is &010 followed by 0
    Expect(CombineA("&01", "v", 1, 64), kEFail, "&01");
}

TEST(CombineString, CutsAtTheBufferSize) {
    // The value overflows the room: text cut to size - 1, tail lost.
    Expect(CombineA("ab&001xy", "1234567890", 1, 10), 0, "ab1234567");
    // The value fits but the tail is cut.
    Expect(CombineA("ab&001xyz", "12345", 1, 10), 0, "ab12345xy");
    Expect(CombineA("ab&001xyz", "1234", 1, 10), 0, "ab1234xyz");
    // Sizes the bounded helpers refuse leave the text unchanged and still give 0.
    Expect(CombineA("ab&001xy", "v", 1, 0), 0, "ab&001xy");
    Expect(CombineA("ab&001xy", "v", 1, 0x80000000u), 0, "ab&001xy");
    Expect(CombineA("abcde&001xy", "v", 1, 5), 0, "abcde&001xy");
    Expect(CombineA("abcde&001xy", "v", 1, 3), 0, "abcde&001xy");
}

TEST(CombineString, FailuresLeaveTextUnchanged) {
    Expect(CombineA("no placeholder", "v", 1, 64), kEFail, "no placeholder");
    Expect(CombineA("", "v", 1, 64), kEFail, "");
    Expect(CombineA("&002", "v", 1, 64), kEFail, "&002");
    char text[] = "a&001";
    EXPECT_EQ(kEFail, Ril_CombineStringA(nullptr, "v", 1, 8));
    EXPECT_EQ(kEFail, Ril_CombineStringA(text, nullptr, 1, 8));
    EXPECT_EQ(kEFail, Ril_CombineStringW(nullptr, ril::test::W(u"v"), 1, 8));
    RIL_WCHAR wide[] = {'a', '&', '0', '0', '1', 0};
    EXPECT_EQ(kEFail, Ril_CombineStringW(wide, nullptr, 1, 8));

    ril::platform::ArmFault(ril::platform::Fault::Alloc, 1);
    Expect(CombineA("ab&001cd", "v", 1, 64), kEOutOfMemory, "ab&001cd");
    ril::platform::DisarmAllFaults();
    // A placeholder at the end saves no tail, so no memory is needed.
    ril::platform::ArmFault(ril::platform::Fault::Alloc, 1);
    Expect(CombineA("ab&001", "v", 1, 64), 0, "abv");
    ril::platform::DisarmAllFaults();
}

TEST(CombineString, WideCountsUnits) {
    std::vector<RIL_WCHAR> buffer(20, 0xAAAA);
    const std::u16string text = u"\u4E2D\u6587&001\u503C";
    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(0, Ril_CombineStringW(buffer.data(), ril::test::W(u"x\u4E00y"), 1, 20));
    EXPECT_EQ(u"\u4E2D\u6587x\u4E00y\u503C", ril::test::Wide(buffer.data()));

    // Size in units: five units hold four characters; the tail is lost.
    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(0, Ril_CombineStringW(buffer.data(), ril::test::W(u"xyz"), 1, 5));
    EXPECT_EQ(u"\u4E2D\u6587xy", ril::test::Wide(buffer.data()));
    EXPECT_EQ(u'1', buffer[5]); // nothing written past the size
    EXPECT_EQ(0x503C, buffer[6]);

    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(kEFail, Ril_CombineStringW(buffer.data(), ril::test::W(u"v"), 2, 20));
    EXPECT_EQ(0, Ril_CombineStringW(buffer.data(), ril::test::W(u"v"), 1, 0));
    EXPECT_EQ(text, ril::test::Wide(buffer.data()));
    ril::platform::ArmFault(ril::platform::Fault::Alloc, 1);
    EXPECT_EQ(kEOutOfMemory, Ril_CombineStringW(buffer.data(), ril::test::W(u"v"), 1, 20));
    ril::platform::DisarmAllFaults();
    EXPECT_EQ(text, ril::test::Wide(buffer.data()));
}

} // namespace
