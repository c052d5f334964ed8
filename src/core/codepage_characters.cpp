// Which byte sequences of a text are characters of a code page.
#include "core/codepage_characters.h"

#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace ril::core {
namespace {

constexpr unsigned kUtf8CodePage = 65001;

// The index of the first byte of a UTF-8 text that starts no well-formed character (no
// overlong forms, surrogates or values above U+10FFFF), or kNone.
std::size_t FirstBadUtf8(unsigned char const *bytes, std::size_t size) {
    for (std::size_t i = 0; i < size;) {
        unsigned char const lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t const length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || lead < 0xC2 || lead > 0xF4 || size - i < length)
            return i;
        for (std::size_t k = 1; k < length; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80)
                return i;
        unsigned char const second = bytes[i + 1];
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return i;
        i += length;
    }
    return CodePageCharacters::kAll;
}

// The same rules as an automaton without branches, for the common case of a text that is
// well-formed: a state is a shift of six bits, and each byte's row holds, at every state's
// shift, the state that follows. The failed state is 0, so that it stays failed.
namespace utf8 {
constexpr unsigned kFailed = 0;
constexpr unsigned kAccept = 6;
constexpr unsigned kOne = 12;
constexpr unsigned kTwo = 18;
constexpr unsigned kThree = 24;
constexpr unsigned kAfterE0 = 30;
constexpr unsigned kAfterED = 36;
constexpr unsigned kAfterF0 = 42;
constexpr unsigned kAfterF4 = 48;

constexpr std::uint64_t Row(unsigned byte) {
    auto in = [byte](unsigned low, unsigned high) { return byte >= low && byte <= high; };
    auto to = [](unsigned from, unsigned next) { return std::uint64_t{next} << from; };
    std::uint64_t row = 0;
    if (in(0x00, 0x7F))
        row |= to(kAccept, kAccept);
    if (in(0xC2, 0xDF))
        row |= to(kAccept, kOne);
    if (in(0xE1, 0xEC) || in(0xEE, 0xEF))
        row |= to(kAccept, kTwo);
    if (in(0xF1, 0xF3))
        row |= to(kAccept, kThree);
    row |= byte == 0xE0 ? to(kAccept, kAfterE0) : byte == 0xED ? to(kAccept, kAfterED) : 0;
    row |= byte == 0xF0 ? to(kAccept, kAfterF0) : byte == 0xF4 ? to(kAccept, kAfterF4) : 0;
    if (in(0x80, 0xBF))
        row |= to(kOne, kAccept) | to(kTwo, kOne) | to(kThree, kTwo);
    row |= in(0xA0, 0xBF) ? to(kAfterE0, kOne) : 0;
    row |= in(0x80, 0x9F) ? to(kAfterED, kOne) : 0;
    row |= in(0x90, 0xBF) ? to(kAfterF0, kTwo) : 0;
    row |= in(0x80, 0x8F) ? to(kAfterF4, kTwo) : 0;
    return row;
}

constexpr auto kRows = [] {
    std::array<std::uint64_t, 256> rows{};
    for (unsigned byte = 0; byte < 256; ++byte)
        rows[byte] = Row(byte);
    return rows;
}();
} // namespace utf8

// What a cache entry knows of a sequence.
constexpr std::uint8_t kUnknown = 0;
constexpr std::uint8_t kValid = 1;
constexpr std::uint8_t kInvalid = 2;

// The index of the first byte at or after `at` that is not ASCII, or `length`: eight bytes
// at a time.
std::size_t PastAscii(unsigned char const *text, std::size_t at, std::size_t length) {
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    for (std::uint64_t word; at + 8 <= length; at += 8) {
        std::memcpy(&word, text + at, sizeof word);
        if ((word & kHighs) != 0)
            break;
    }
    while (at < length && text[at] < 0x80)
        ++at;
    return at;
}

// One bit a byte for the `count` (at most 64) bytes from `bytes`: set for the bytes of 0x80 and
// above. Eight bytes a step: their high bits gathered by one multiplication.
std::uint64_t HighBytes(unsigned char const *bytes, std::size_t count) {
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    constexpr std::uint64_t kGather = 0x0102040810204080ull;
    std::uint64_t mask = 0;
    std::size_t i = 0;
    for (std::uint64_t word; count - i >= 8; i += 8) {
        std::memcpy(&word, bytes + i, sizeof word);
        mask |= (((word & kHighs) >> 7) * kGather >> 56) << i;
    }
    for (; i < count; ++i)
        mask |= std::uint64_t(bytes[i] >> 7) << i;
    return mask;
}

// Of the runs of set bits in `highs`, the bits at an even distance from their run's start.
std::uint64_t EvenInRuns(std::uint64_t highs) {
    constexpr std::uint64_t kEven = 0x5555555555555555ull;
    std::uint64_t const starts = highs & ~(highs << 1);
    // A carry added at a run's start clears the run: the runs that start at even bits.
    std::uint64_t const evenRuns = highs & ~(highs + (starts & kEven));
    return (evenRuns & kEven) | (highs & ~evenRuns & ~kEven);
}

} // namespace

// Four bytes a round: the loop's own counting and test would otherwise cost as much as a step.
bool IsUtf8(unsigned char const *bytes, std::size_t size) {
    std::uint64_t state = utf8::kAccept;
    std::size_t i = 0;
    for (; size - i >= 4; i += 4) {
        state = utf8::kRows[bytes[i]] >> (state & 63);
        state = utf8::kRows[bytes[i + 1]] >> (state & 63);
        state = utf8::kRows[bytes[i + 2]] >> (state & 63);
        state = utf8::kRows[bytes[i + 3]] >> (state & 63);
    }
    for (; i < size; ++i)
        state = utf8::kRows[bytes[i]] >> (state & 63);
    return (state & 63) == utf8::kAccept;
}

CodePageCharacters::CodePageCharacters(platform::CharTable const &chars, unsigned codePage)
    : chars_(chars), codePage_(codePage),
      utf8_((codePage != 0 ? codePage : platform::AnsiCodePage()) == kUtf8CodePage) {}

std::size_t CodePageCharacters::FirstBad(unsigned char const *text, std::size_t length) {
    if (utf8_)
        return IsUtf8(text, length) ? kAll : FirstBadUtf8(text, length);
    if (AllKnownPairs(text, length))
        return kAll;
    for (std::size_t at = 0; at < length;) {
        if (text[at] < 0x80) {
            at = PastAscii(text, at + 1, length);
            continue;
        }
        // A pair already known to be a character (a lead and a trail byte): most of them.
        if (at + 1 < length && KnownPair(std::size_t(text[at]) << 8 | text[at + 1])) {
            at += 2;
            continue;
        }
        std::size_t const size = chars_.CharLength(text, at, length);
        bool valid;
        if (size == 1)
            valid = Known(singles_, text[at], text + at, 1);
        else if (size == 2)
            valid = Known(pairs_, std::size_t(text[at]) << 8 | text[at + 1], text + at, 2);
        else
            valid = RoundTrips(text + at, size);
        if (!valid)
            return at;
        at += size;
    }
    return kAll;
}

// A character starts after each byte below 0x80 and after each pair, so a run of bytes of 0x80
// and above that starts a character holds pairs from its start; an odd run's last byte pairs
// with the byte after it. Every such pair known, the text is made of characters, as the walk
// character by character would find; otherwise that walk decides.
bool CodePageCharacters::AllKnownPairs(unsigned char const *text, std::size_t length) const {
    if (pairs_.empty())
        return false;
    std::uint8_t const *pairs = pairs_.data();
    unsigned known = kValid;
    for (std::size_t at = 0; at < length;) {
        std::size_t const count = std::min<std::size_t>(length - at, 64);
        std::uint64_t leads = EvenInRuns(HighBytes(text + at, count));
        bool const lastLead = ((leads >> (count - 1)) & 1) != 0;
        if (lastLead && at + count == length)
            return false; // a lead byte without its trail byte
        for (; leads != 0; leads &= leads - 1) {
            std::size_t const lead = at + static_cast<std::size_t>(std::countr_zero(leads));
            std::size_t const key = std::size_t(text[lead]) << 8 | text[lead + 1];
            known &= pairs[key];
        }
        at += count + (lastLead ? 1 : 0);
    }
    return known == kValid;
}

bool CodePageCharacters::Known(std::vector<std::uint8_t> &cache, std::size_t key,
                               unsigned char const *sequence, std::size_t size) {
    if (cache.empty())
        cache.assign(size == 1 ? 0x100 : 0x10000, kUnknown);
    if (cache[key] == kUnknown) {
        cache[key] = RoundTrips(sequence, size) ? kValid : kInvalid;
        if (size == 2 && cache[key] == kValid) {
            if (validPairs_.empty())
                validPairs_.assign(0x10000 / 64, 0);
            validPairs_[key / 64] |= std::uint64_t{1} << (key % 64);
        }
    }
    return cache[key] == kValid;
}

bool CodePageCharacters::RoundTrips(unsigned char const *sequence, std::size_t size) const {
    char const *source = reinterpret_cast<char const *>(sequence);
    std::uint16_t units[8];
    int const count = platform::MultiByteToWide(codePage_, source, int(size), units, 8).count;
    char back[16];
    int const narrow =
        count > 0 ? platform::WideToMultiByte(codePage_, units, count, back, 16).count : 0;
    return narrow == int(size) && std::memcmp(back, source, size) == 0;
}

} // namespace ril::core
