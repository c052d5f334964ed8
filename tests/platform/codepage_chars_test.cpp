// The character tables of the double-byte code pages: checked against the library's own
// conversions for every byte pair, and the backward test for a character start checked
// against stepping forward from the start of random byte strings.
#include "platform/codepage_chars.h"

#include "platform/codepage.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ril::platform {
namespace {

const unsigned kCodePages[] = {936, 54936, 932, 949, 950};

// Whether `bytes` convert to one character (one unit, or a surrogate pair) and back.
bool OneCharacter(const std::string &bytes, unsigned codePage) {
    std::uint16_t wide[4] = {};
    char back[8] = {};
    const int size = static_cast<int>(bytes.size());
    int units = MultiByteToWide(codePage, bytes.data(), size, wide, 4).count;
    bool ok =
        (units == 1 && wide[0] != 0xFFFD) || (units == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF);
    return ok && WideToMultiByte(codePage, wide, units, back, 8).count == size &&
           bytes == std::string(back, bytes.size());
}

TEST(CodePageChars, TablesHoldEveryCharacterTheConversionsKnow) {
    // Wine has no GB18030 (and fails each of its conversions slowly).
    const bool gb18030Known = !test::RunningUnderWine();
    for (unsigned codePage : kCodePages) {
        if (codePage == 54936 && !gb18030Known)
            continue;
        SCOPED_TRACE(codePage);
        const CharTable table = CharTableFor(codePage);
        const std::vector<std::string> pairs = test::DoubleByteCharacters(codePage);
        std::size_t braceTrails = 0;
        for (const std::string &pair : pairs) {
            const auto *bytes = reinterpret_cast<const std::uint8_t *>(pair.data());
            ASSERT_EQ(2u, table.CharLength(bytes, 0, 2))
                << std::hex << int(bytes[0]) << " " << int(bytes[1]);
            braceTrails += bytes[1] == '{' || bytes[1] == '}';
        }
        // Thousands of characters, and in all but UHC some with a brace as their trail byte.
        EXPECT_GT(pairs.size(), 6000u);
        EXPECT_EQ(std::pair(braceTrails > 0, table.IsTrail('{') && table.IsTrail('}')),
                  std::pair(codePage != 949, codePage != 949));
        // A byte that is a character alone must not lead one.
        for (unsigned byte = 0x01; byte <= 0xFF; ++byte)
            if (OneCharacter(std::string(1, static_cast<char>(byte)), codePage)) {
                EXPECT_FALSE(table.IsLead(static_cast<std::uint8_t>(byte))) << byte;
            }
    }
    // GB18030's four-byte forms, one per pair of first and third bytes.
    if (!gb18030Known)
        return;
    const CharTable gb18030 = CharTableFor(54936);
    std::mt19937 random(18030);
    std::size_t decoded = 0;
    for (unsigned first = 0x81; first <= 0xFE; ++first) {
        for (unsigned third = 0x81; third <= 0xFE; ++third) {
            const std::uint8_t form[] = {std::uint8_t(first), std::uint8_t('0' + random() % 10),
                                         std::uint8_t(third), std::uint8_t('0' + random() % 10)};
            if (OneCharacter(std::string(form, form + 4), 54936) && ++decoded)
                EXPECT_EQ(4u, gb18030.CharLength(form, 0, 4));
        }
    }
    EXPECT_GT(decoded, 1000u);
}

TEST(CodePageChars, CodePageZeroIsTheAnsiCodePage) {
    const unsigned previous = Ril_SetAnsiCodePage(949);
    std::vector<bool> seen = {CharTableFor(0).IsTrail('}'), CharTableFor(0).IsLead(0xB0)};
    Ril_SetAnsiCodePage(932);
    seen.insert(seen.end(), {CharTableFor(0).IsLead(0xA1), CharTableFor(0).IsTrail('}')});
    Ril_SetAnsiCodePage(65001);
    seen.push_back(false); // whether any byte leads in 65001
    for (unsigned byte = 0; byte <= 0xFF; ++byte)
        seen.back() = seen.back() || CharTableFor(0).IsLead(static_cast<std::uint8_t>(byte));
    Ril_SetAnsiCodePage(previous);
    // 949 leads with 0xB0; 0xA1 is a half-width katakana in 932.
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false, true, false}));
}

// Character starts found by stepping forward from the start.
std::vector<bool> Starts(const CharTable &table, const std::vector<std::uint8_t> &data) {
    std::vector<bool> starts(data.size() + 1, false);
    for (std::size_t at = 0; at < data.size(); at += table.CharLength(data.data(), at, data.size()))
        starts[at] = true;
    starts[data.size()] = true;
    return starts;
}

TEST(CodePageChars, BackwardTestAgreesWithSteppingForward) {
    // Lead and trail bytes of every kind, digits, braces and bytes that are neither.
    const std::uint8_t alphabet[] = {'0',  '5',  '9',  '{',  '}',  'A',  '\r',
                                     0x40, 0x5C, 0x7E, 0x80, 0x81, 0x9F, 0xA0,
                                     0xA1, 0xC8, 0xE0, 0xFC, 0xFD, 0xFE, 0xFF};
    const std::uint8_t leadTrail[] = {0x81, 0x9F, 0xA1, 0xC8, 0xE0, 0xFC, 0xFE};
    std::mt19937 random(4410);
    for (unsigned codePage : kCodePages) {
        SCOPED_TRACE(codePage);
        const CharTable table = *PublishedCharTable(codePage);
        for (int round = 0; round < 20000; ++round) {
            std::vector<std::uint8_t> data(1 + random() % 40);
            // Every other string mostly of bytes that can lead and trail: long runs of them.
            for (std::uint8_t &byte : data)
                byte = round % 2 == 0 && random() % 10 < 7 ? leadTrail[random() % sizeof leadTrail]
                                                           : alphabet[random() % sizeof alphabet];
            const std::vector<bool> starts = Starts(table, data);
            std::vector<std::size_t> boundaries;
            for (std::size_t at = 0; at < data.size(); ++at) {
                const std::uint8_t byte = data[at];
                const bool exact =
                    !table.HasFourByteForms() ||
                    ((byte < '0' || byte > '9') && (!table.IsLead(byte) || at + 1 == data.size()));
                if (exact) {
                    ASSERT_EQ(starts[at], table.StartsCharacter(data.data(), 0, at))
                        << "round " << round << " at " << at;
                    if (!boundaries.empty()) { // from a later character start
                        const std::size_t from = boundaries[random() % boundaries.size()];
                        ASSERT_EQ(starts[at], table.StartsCharacter(data.data(), from, at));
                    }
                }
                if (starts[at])
                    boundaries.push_back(at);
            }
            const std::size_t last = data.size() - 1;
            ASSERT_EQ(starts[last] && table.IsLead(data[last]),
                      table.EndsInLoneLead(data.data(), data.size()));
            const std::size_t limit = random() % (data.size() + 1);
            std::size_t expected = limit;
            while (!starts[expected])
                --expected;
            ASSERT_EQ(expected, table.BoundaryAtOrBefore(data.data(), data.size(), limit));
        }
    }
}

} // namespace
} // namespace ril::platform
