// The character tables of the double-byte code pages: the backward test for a character
// start checked against stepping forward from the start of random byte strings.
#include "platform/codepage_chars.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ril::platform {
namespace {

unsigned const kCodePages[] = {936, 54936, 932, 949, 950};

// Character starts found by stepping forward from the start.
std::vector<bool> Starts(CharTable const &table, std::vector<std::uint8_t> const &data) {
    std::vector<bool> starts(data.size() + 1, false);
    for (std::size_t at = 0; at < data.size(); at += table.CharLength(data.data(), at, data.size()))
        starts[at] = true;
    starts[data.size()] = true;
    return starts;
}

TEST(CodePageChars, BackwardTestAgreesWithSteppingForward) {
    // Lead and trail bytes of every kind, digits, braces and bytes that are neither.
    const std::string alphabet = "059{}A\r\x40\x5C\x7E\x80\x81\x9F\xA0\xA1\xC8\xE0\xFC\xFD\xFE\xFF";
    const std::string leadTrail = "\x81\x9F\xA1\xC8\xE0\xFC\xFE";
    std::mt19937 random(4410);
    for (unsigned codePage : kCodePages) {
        SCOPED_TRACE(codePage);
        const CharTable table = *PublishedCharTable(codePage);
        for (int round = 0; round < 20000; ++round) {
            std::vector<std::uint8_t> data(1 + random() % 40);
            // Every other string mostly of bytes that can lead and trail: long runs of them.
            for (std::uint8_t &byte : data)
                byte = round % 2 == 0 && random() % 10 < 7 ? leadTrail[random() % leadTrail.size()]
                                                           : alphabet[random() % alphabet.size()];
            const std::vector<bool> starts = Starts(table, data);
            std::vector<std::size_t> boundaries;
            for (std::size_t at = 0; at < data.size(); ++at) {
                const std::uint8_t byte = data[at];
                bool const exact =
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

// UTF-8: the well-formed sequences at each edge are one character; anything else is a byte.
TEST(CodePageChars, Utf8EdgesStepWholeCharacters) {
    const std::string text = "\xC2\x80\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"
                             "\xF4\x90\x80\xF5\x80\xC1\xBF\xE4\xB8\x7F\xE4\xB8";
    const std::vector<std::uint8_t> data(text.begin(), text.end());
    const std::vector<bool> starts = Starts(*PublishedCharTable(65001), data);
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < data.size(); ++i)
        if (starts[i])
            at.push_back(i);
    EXPECT_EQ(at, (std::vector<std::size_t>{0, 2, 5, 8, 12, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                            26, 27}));
}

#ifndef _WIN32
// glibc's UHC converter consumes A2 E8 before refusing it: at the input's end, nothing to skip.
TEST(CodePageChars, AConsumedBadSequenceAtTheEndIsReplaced) {
    std::uint16_t wide[4] = {};
    const Conversion done = MultiByteToWide(949, "A\xA2\xE8", 3, wide, 4);
    EXPECT_EQ(std::vector<std::uint16_t>(wide, wide + done.count),
              (std::vector<std::uint16_t>{'A', 0xFFFD}));
}
#endif

} // namespace
} // namespace ril::platform
