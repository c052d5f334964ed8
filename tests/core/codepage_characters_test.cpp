// The first byte of a UTF-8 text that starts no character, at each edge of the well-formed
// ranges, by the stepping check and the automaton alike; and of GBK texts.
#include "core/codepage_characters.h"

#include <gtest/gtest.h>

#include <string>

namespace ril::core {
namespace {

constexpr std::size_t kAll = CodePageCharacters::kAll;

TEST(CodePageCharacters, FirstUtf8ByteThatStartsNoCharacter) {
    // clang-format off
    const std::pair<std::string, std::size_t> rows[] = { // text, the first bad byte
        {"", kAll},
        {"plain ASCII {}", kAll},
        {"a\xC2\x80\xDF\xBF\xE4\xB8\xAD\xEF\xBF\xBF", kAll},
        {"\xC1\xBF", 0},                     // overlong two-byte form
        {"ab\xE0\x9F\x80", 2},               // overlong three-byte form
        {"\xE0\xA0\x80\xED\x9F\xBF", kAll},  // the first and last around the surrogates
        {"x\xED\xA0\x80", 1},                // a surrogate
        {"\xF0\x8F\xBF\xBF", 0},             // overlong four-byte form
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", kAll},
        {"\xF4\x90\x80\x80", 0},             // beyond U+10FFFF
        {"\xF5\x80\x80\x80", 0},
        {"\x80", 0},                         // a trail byte alone
        {"\xE4\xB8\xAD\xE4\xB8", 3},         // cut short at the end
    };
    // clang-format on
    for (auto const &[text, firstBad] : rows) {
        SCOPED_TRACE(::testing::PrintToString(text));
        auto const *bytes = reinterpret_cast<unsigned char const *>(text.data());
        EXPECT_EQ(CodePageCharacters(65001).FirstBad(bytes, text.size()), firstBad);
        EXPECT_EQ(IsUtf8(bytes, text.size()), firstBad == kAll);
    }
}

TEST(CodePageCharacters, DoubleByteTextsAlsoOnceTheirPairsAreKnown) {
    CodePageCharacters gbk(936);
    std::string gb;
    for (int i = 0; i < 40; ++i)
        gb += "\xB0\xA1";
    auto const bytes = [](std::string const &t) {
        return reinterpret_cast<unsigned char const *>(t.data());
    };
    // clang-format off
    const std::pair<std::string, std::size_t> rows[] = { // text, the first bad byte
        {gb + "a", kAll},
        {"a" + gb.substr(0, 64) + "\x81\x40" "b", kAll}, // a run across 64 bytes; a trail below 0x80
        {"x\xA1\xB0\xA1\x7F", 3}, // read from its second byte, its pairs are known as well
    };
    // clang-format on
    for (int round = 0; round < 2; ++round) // the second with the texts' pairs known
        for (auto const &[text, firstBad] : rows)
            EXPECT_EQ(gbk.FirstBad(bytes(text), text.size()), firstBad);
    EXPECT_EQ(gbk.FirstBad(bytes(gb), 3), 2u); // a lead byte at the end, a trail byte after it
}

} // namespace
} // namespace ril::core
