// Which byte sequences of a text are characters of a code page: UTF-8 by its own rules,
// other code pages by converting each distinct character to UTF-16 and back once.
#pragma once

#include "platform/codepage_chars.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ril::core {

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool IsUtf8(unsigned char const *bytes, std::size_t size);

// The characters of one code page: a sequence is one when it comes back unchanged from
// UTF-16. Single bytes and double-byte pairs are converted once and remembered; a text is
// then checked by stepping over its characters with the code page's lead and trail bytes.
class CodePageCharacters {
  public:
    static constexpr std::size_t kAll = static_cast<std::size_t>(-1);

    // `codePage` 0: the ANSI code page in force now (its table is `chars`).
    CodePageCharacters(platform::CharTable const &chars, unsigned codePage);
    explicit CodePageCharacters(unsigned codePage)
        : CodePageCharacters(platform::CharTableFor(codePage), codePage) {}

    // The index of the first byte of the text that starts no character, or kAll when every
    // one does. Bytes below 0x80 are characters of every code page the library converts.
    std::size_t FirstBad(unsigned char const *text, std::size_t length);

  private:
    // Whether every character of the text is a byte below 0x80 or a pair known to be one.
    bool AllKnownPairs(unsigned char const *text, std::size_t length) const;
    bool Known(std::vector<std::uint8_t> &cache, std::size_t key, unsigned char const *sequence,
               std::size_t size);
    bool RoundTrips(unsigned char const *sequence, std::size_t size) const;
    // Whether the pair `key` (lead byte << 8 | trail byte) is known to be a character: one bit a
    // pair, so that the pairs of a text stay in the first-level cache.
    bool KnownPair(std::size_t key) const {
        return !validPairs_.empty() && ((validPairs_[key / 64] >> (key % 64)) & 1) != 0;
    }

    platform::CharTable chars_;
    unsigned codePage_;
    bool utf8_;
    std::vector<std::uint8_t> singles_;
    std::vector<std::uint8_t> pairs_;
    std::vector<std::uint64_t> validPairs_;
};

} // namespace ril::core
