// Stepping over the characters of a multibyte code page, and the published byte ranges of the
// double-byte code pages, shared by every platform.
#include "platform/codepage_chars.h"

#include <bit>
#include <cstring>

namespace ril::platform {
namespace {

using Range = CharTable::ByteRange;

constexpr Range kGbkLeads[] = {{0x81, 0xFE}};
constexpr Range kGbkTrails[] = {{0x40, 0x7E}, {0x80, 0xFE}};
constexpr Range kShiftJisLeads[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
constexpr Range kShiftJisTrails[] = {{0x40, 0x7E}, {0x80, 0xFC}};
constexpr Range kUhcLeads[] = {{0x81, 0xFE}};
constexpr Range kUhcTrails[] = {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}};
constexpr Range kBig5Leads[] = {{0x81, 0xFE}};
constexpr Range kBig5Trails[] = {{0x40, 0x7E}, {0xA1, 0xFE}};

constexpr CharTable kGbk(kGbkLeads, kGbkTrails, false);
constexpr CharTable kGb18030(kGbkLeads, kGbkTrails, true);
constexpr CharTable kShiftJis(kShiftJisLeads, kShiftJisTrails, false);
constexpr CharTable kUhc(kUhcLeads, kUhcTrails, false);
constexpr CharTable kBig5(kBig5Leads, kBig5Trails, false);
constexpr CharTable kUtf8 = CharTable::Utf8();

std::uint64_t ReverseBytes(std::uint64_t x) {
    x = ((x & 0x00FF00FF00FF00FFull) << 8) | ((x >> 8) & 0x00FF00FF00FF00FFull);
    x = ((x & 0x0000FFFF0000FFFFull) << 16) | ((x >> 16) & 0x0000FFFF0000FFFFull);
    return x << 32 | x >> 32;
}

} // namespace

CharTable const *PublishedCharTable(unsigned codePage) {
    switch (codePage) {
    case 936:
        return &kGbk;
    case 54936:
        return &kGb18030;
    case 932:
        return &kShiftJis;
    case 949:
        return &kUhc;
    case 950:
        return &kBig5;
    case 65001:
        return &kUtf8;
    default:
        return nullptr;
    }
}

CharTable CharTable::WithLeads(ByteRange const *leads, std::size_t count) const {
    CharTable table = *this;
    for (std::uint8_t &kind : table.kinds_)
        kind = static_cast<std::uint8_t>(kind & ~kLead);
    for (std::size_t i = 0; i < count; ++i)
        table.Mark(leads[i], kLead);
    table.FindWideRun();
    return table;
}

// A lead byte C2-F4 and as many continuation bytes as it announces, within the ranges that
// exclude over-long forms and surrogates; anything else is one byte.
std::size_t CharTable::Utf8Length(std::uint8_t const *data, std::size_t at, std::size_t end) const {
    const std::uint8_t lead = data[at];
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 1;
    if (length == 1 || end - at < length)
        return 1;
    const std::uint8_t second = data[at + 1];
    const std::uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const std::uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high)
        return 1;
    for (std::size_t i = 2; i < length; ++i)
        if (data[at + i] < 0x80 || data[at + i] > 0xBF)
            return 1;
    return length;
}

std::size_t CharTable::CharLength(std::uint8_t const *data, std::size_t at, std::size_t end) const {
    if (utf8_)
        return Utf8Length(data, at, end);
    if (!IsLead(data[at]) || at + 1 >= end)
        return 1;
    if (IsTrail(data[at + 1]))
        return 2;
    if (fourByte_ && at + 3 < end && IsDigit(data[at + 1]) && IsLead(data[at + 2]) &&
        IsDigit(data[at + 3]))
        return 4;
    return 1;
}

// The high bit of each of the eight bytes that lies outside [runLow_, runHigh_], a range
// within 0x80-0xFF. Each byte's low seven bits are compared on their own: with its high bit
// set, subtracting at most 0x7F borrows from no other byte, and adding at most 0x7F to seven
// bits carries into none.
std::uint64_t CharTable::OutsideWideRun(std::uint64_t bytes) const {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t low = bytes & ~kHigh;
    const std::uint64_t notBelow = ((low | kHigh) - kOnes * (runLow_ - 0x80u)) & kHigh;
    const std::uint64_t above = (low + kOnes * (0x7Fu - (runHigh_ - 0x80u))) & kHigh;
    return (~bytes & kHigh) | (~notBelow & kHigh) | above;
}

// Walks back over the bytes that can both lead and trail. The byte before that run ends a
// character (it cannot lead one, and in GB18030 a digit before such a run is never the
// second byte of a four-byte form, whose third byte would need a digit behind it), unless
// it is a lead byte that cannot trail, which starts one. From there the run pairs up, so an
// odd count means data[at] trails the byte before it.
bool CharTable::StartsCharacter(std::uint8_t const *data, std::size_t from, std::size_t at) const {
    if (at == from || !IsTrail(data[at]))
        return true;
    std::size_t begin = at;
    while (runLow_ != 0 && begin - from >= 8) {
        // The eight bytes before `begin`, the first in the lowest bits.
        std::uint64_t bytes;
        std::memcpy(&bytes, data + begin - 8, sizeof bytes);
        if constexpr (std::endian::native == std::endian::big)
            bytes = ReverseBytes(bytes);
        const std::uint64_t outside = OutsideWideRun(bytes);
        if (outside != 0) { // the run starts behind the last byte outside it
            begin -= 8 - (63 - static_cast<std::size_t>(std::countl_zero(outside))) / 8 - 1;
            break;
        }
        begin -= 8;
    }
    return StartsAfterRun(data, from, begin, at);
}

// Whether data[at] starts a character when every byte of data[begin, at) can both lead and
// trail: the walk back goes on from `begin` one byte at a time.
bool CharTable::StartsAfterRun(std::uint8_t const *data, std::size_t from, std::size_t begin,
                               std::size_t at) const {
    constexpr std::uint8_t kBoth = kLead | kTrail;
    while (begin > from && (kinds_[data[begin - 1]] & kBoth) == kBoth)
        --begin;
    std::size_t run = at - begin;
    if (begin > from && IsLead(data[begin - 1]))
        ++run;
    return run % 2 == 0;
}

bool CharTable::EndsInLoneLead(std::uint8_t const *data, std::size_t end) const {
    return end > 0 && IsLead(data[end - 1]) && StartsCharacter(data, 0, end - 1);
}

bool CharTable::EndsInLoneLead(std::uint8_t const *data, std::size_t end,
                               std::size_t wideFrom) const {
    if (end == 0 || !IsLead(data[end - 1]))
        return false;
    const std::size_t at = end - 1;
    if (at == 0 || !IsTrail(data[at]))
        return true;
    if (runLow_ == 0 || wideFrom > at)
        return StartsCharacter(data, 0, at);
    return StartsAfterRun(data, 0, wideFrom, at);
}

std::size_t CharTable::BoundaryAtOrBefore(std::uint8_t const *data, std::size_t end,
                                          std::size_t limit) const {
    std::size_t at = 0;
    while (at < limit && at < end) {
        std::size_t next = at + CharLength(data, at, end);
        if (next > limit)
            break;
        at = next;
    }
    return at;
}

} // namespace ril::platform
