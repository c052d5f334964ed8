// The text helper exports: Ril_CombineStringA / W (placeholder numbering, in-place
// replacement, cuts at the buffer's size, the failure results) and Ril_StringToLanguage.
#include "platform/fault.h"
#include "support/test_support.h"

#include <algorithm>
#include <cctype>

namespace ril::test {
namespace {

constexpr char kSentinel = '#';

// Runs Ril_CombineStringA on `text` in a buffer of `size` bytes (plus sentinels behind it),
// checks the result and the text, and that no byte past the size was written. Sizes the
// library must refuse get a buffer that only holds the text.
void ExpectCombined(const std::string &text, const char *value, RIL_ULONG number, RIL_ULONG size,
                    HResult result, const std::string &combined) {
    const std::size_t owned = std::max<std::size_t>(size <= 4096 ? size : 0, text.size() + 1);
    std::vector<char> buffer(owned + 8, kSentinel);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer.begin());
    EXPECT_EQ(Ril_CombineStringA(buffer.data(), value, number, size), result) << text;
    EXPECT_EQ(std::string(buffer.data()), combined);
    EXPECT_EQ(std::string(buffer.begin() + static_cast<long>(owned), buffer.end()),
              std::string(8, kSentinel));
}

TEST(CombineString, ReplacesFirstPlaceholderA) {
    const struct {
        const char *text, *value;
        RIL_ULONG number, size;
        HResult result;
        const char *combined;
    } rows[] = {
        {"Hello&001abcd", "World", 1, 64, 0, "HelloWorldabcd"},
        {"a&001b&001c", "X", 1, 64, 0, "aXb&001c"},
        {"x&001y", "[&001]", 1, 64, 0, "x[&001]y"}, // not expanded again
        {"end&001", "VALUE", 1, 64, 0, "endVALUE"},
        {"ab&001cd", "", 1, 64, 0, "abcd"},
        {"&001", "v", 1, 2, 0, "v"},         // exactly size - 1
        {"&0100", "v", 100, 64, 0, "v0"},    // &0100 is &010 followed by 0
        {"<&045>", "v", 4567, 64, 0, "<v>"}, // numbers keep their first three digits
        {"<&000>", "v", 0, 64, 0, "<v>"},
        // Cuts at the buffer size: the value overflows the room, or the tail is cut.
        {"ab&001xy", "1234567890", 1, 10, 0, "ab1234567"},
        {"ab&001xyz", "12345", 1, 10, 0, "ab12345xy"},
        {"ab&001xyz", "1234", 1, 10, 0, "ab1234xyz"},
        // Sizes the bounded helpers refuse leave the text unchanged and still give 0.
        {"ab&001xy", "v", 1, 0, 0, "ab&001xy"},
        {"ab&001xy", "v", 1, 0x80000000u, 0, "ab&001xy"},
        {"abcde&001xy", "v", 1, 5, 0, "abcde&001xy"},
        {"abcde&001xy", "v", 1, 3, 0, "abcde&001xy"},
        // Failures leave the text unchanged.
        {"&01", "v", 1, 64, kEFail, "&01"},
        {"no placeholder", "v", 1, 64, kEFail, "no placeholder"},
        {"", "v", 1, 64, kEFail, ""},
        {"&002", "v", 1, 64, kEFail, "&002"},
    };
    for (const auto &row : rows)
        ExpectCombined(row.text, row.value, row.number, row.size, row.result, row.combined);
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

TEST(CombineString, WideCountsUnits) {
    std::vector<RIL_WCHAR> buffer(20, 0xAAAA);
    const std::u16string text = u"\u4E2D\u6587&001\u503C";
    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"x\u4E00y"), 1, 20), 0);
    EXPECT_EQ(Wide(buffer.data()), u"\u4E2D\u6587x\u4E00y\u503C");

    // Size in units: five units hold four characters; the tail is lost.
    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"xyz"), 1, 5), 0);
    EXPECT_EQ(Wide(buffer.data()), u"\u4E2D\u6587xy");
    EXPECT_EQ(buffer[5], u'1'); // nothing written past the size
    EXPECT_EQ(buffer[6], 0x503C);

    std::copy(text.begin(), text.end() + 1, buffer.begin());
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"v"), 2, 20), kEFail);
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"v"), 1, 0), 0);
    EXPECT_EQ(Ril_CombineStringW(nullptr, W(u"v"), 1, 8), kEFail);
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), nullptr, 1, 8), kEFail);
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_CombineStringW(buffer.data(), W(u"v"), 1, 20), kEOutOfMemory);
    platform::DisarmAllFaults();
    EXPECT_EQ(Wide(buffer.data()), text);
}

TEST(Language, EveryKeywordInAnyCase) {
    const char *const keywords[] = {
        "MULTILANGUAGE", "ENGLISH",    "FRENCH",    "GERMAN",    "CHINESEPRC",
        "CHINESETAIWAN", "JAPANESE",   "KOREAN",    "RUSSIAN",   "MUNGARIAN",
        "SPANISH",       "PORTUGUESE", "DANISH",    "DUTCH",     "FINNISH",
        "CZECH",         "GREEK",      "ITALIAN",   "NORWEGIAN", "POLISH",
        "SLOVAK",        "SWEDISH",    "SLOVENIAN", "ENGLISHUK", "TAGALOG"};
    ASSERT_EQ(std::size(keywords), std::size_t(RIL_LANG_TAGALOG) + 1);
    for (int value = 0; value <= RIL_LANG_TAGALOG; ++value) {
        for (std::size_t step : {1000, 1, 2}) { // as given, lower case, mixed case
            std::string name = keywords[value];
            for (std::size_t i = 0; i < name.size(); i += step)
                name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
            EXPECT_EQ(Ril_StringToLanguage(name.c_str()), value) << name;
        }
    }
    // Near misses yield the first value.
    const std::string padded = "ENGLISH" + std::string(300, ' ');
    for (const char *name :
         {" ENGLISH", "ENGLISH ", "ENGLIS", "ENGLISHU", "HUNGARIAN", "", "KLINGON", "ENGLISH\xE9",
          "\xC9NGLISH", padded.c_str(), static_cast<const char *>(nullptr)})
        EXPECT_EQ(Ril_StringToLanguage(name), RIL_LANG_MULTILANGUAGE) << (name ? name : "null");
}

} // namespace
} // namespace ril::test
