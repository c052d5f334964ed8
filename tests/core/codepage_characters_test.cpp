// The characters of a code page: the first byte of a text that starts none, in UTF-8 at each
// edge of its well-formed ranges, and in GBK through the code page's own conversion.
#include "core/codepage_characters.h"

#include <gtest/gtest.h>

#include <string>

namespace ril::core {
namespace {

constexpr std::size_t kAll = CodePageCharacters::kAll;

struct Row {
    unsigned codePage;
    std::string text;
    std::size_t firstBad;
};

TEST(CodePageCharacters, FirstByteThatStartsNoCharacter) {
    // clang-format off
    const Row rows[] = {
        {65001, "", kAll},
        {65001, "plain ASCII {}", kAll},
        {65001, "a\xC2\x80\xDF\xBF\xE4\xB8\xAD\xEF\xBF\xBF", kAll},
        {65001, "\xC1\xBF", 0},                     // overlong two-byte form
        {65001, "ab\xE0\x9F\x80", 2},               // overlong three-byte form
        {65001, "\xE0\xA0\x80\xED\x9F\xBF", kAll},  // the first and last around the surrogates
        {65001, "x\xED\xA0\x80", 1},                // a surrogate
        {65001, "\xF0\x8F\xBF\xBF", 0},             // overlong four-byte form
        {65001, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", kAll},
        {65001, "\xF4\x90\x80\x80", 0},             // beyond U+10FFFF
        {65001, "\xF5\x80\x80\x80", 0},
        {65001, "\x80", 0},                         // a trail byte alone
        {65001, "\xE4\xB8\xAD\xE4\xB8", 3},         // cut short at the end
        {65001, "\xE4\xB8x\xAD", 0},                // a trail byte missing
        {936, "\xD6\xD0\xCE\xC4 ok", kAll},
        {936, "\xD6\xD0 \x81 x", 3},                // a lead byte before a blank
        {936, "x\xD6\xD0\xCE", 3},                  // a lead byte at the end
    };
    // clang-format on
    for (Row const &row : rows) {
        SCOPED_TRACE(::testing::Message() << row.codePage << " row " << (&row - rows));
        auto const *bytes = reinterpret_cast<unsigned char const *>(row.text.data());
        CodePageCharacters characters(row.codePage);
        // Twice: the second time the characters come from the remembered answers.
        EXPECT_EQ(characters.FirstBad(bytes, row.text.size()), row.firstBad);
        EXPECT_EQ(characters.FirstBad(bytes, row.text.size()), row.firstBad);
        if (row.codePage == 65001) {
            EXPECT_EQ(IsUtf8(bytes, row.text.size()), row.firstBad == kAll);
        }
    }
}

} // namespace
} // namespace ril::core
