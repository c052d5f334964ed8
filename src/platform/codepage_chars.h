// Which bytes of a multibyte code page lead or trail a character, so that scanners can tell
// an ASCII byte with a meaning (a brace) from the trail byte of a double-byte character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ril::platform {

// The stepping rule: a lead byte followed by a trail byte is one character; in a code page
// with four-byte forms (54936), a lead byte, a digit, a lead byte and a digit are one
// character; every other byte, a lead byte that neither rule completes included, is a
// character of its own. A table without lead bytes (single-byte code pages) makes every byte
// a character. The UTF-8 table has no lead or trail bytes either (its sequences hold no ASCII
// byte, so every ASCII byte starts a character), but it steps over whole sequences.
class CharTable {
  public:
    struct ByteRange {
        std::uint8_t first;
        std::uint8_t last;
    };

    constexpr CharTable() = default;
    constexpr CharTable(ByteRange const *leads, std::size_t leadCount, ByteRange const *trails,
                        std::size_t trailCount, bool fourByteForms)
        : fourByte_(fourByteForms) {
        for (std::size_t i = 0; i < leadCount; ++i)
            Mark(leads[i], kLead);
        for (std::size_t i = 0; i < trailCount; ++i)
            Mark(trails[i], kTrail);
        FindWideRun();
    }
    template <std::size_t Leads, std::size_t Trails>
    constexpr CharTable(const ByteRange (&leads)[Leads], const ByteRange (&trails)[Trails],
                        bool fourByteForms)
        : CharTable(leads, Leads, trails, Trails, fourByteForms) {}

    // UTF-8 (65001): a well-formed sequence of two to four bytes is one character.
    static constexpr CharTable Utf8() {
        CharTable table;
        table.utf8_ = true;
        return table;
    }

    // The same trail bytes and forms with other lead bytes.
    CharTable WithLeads(ByteRange const *leads, std::size_t count) const;

    bool IsLead(std::uint8_t byte) const { return (kinds_[byte] & kLead) != 0; }
    bool IsTrail(std::uint8_t byte) const { return (kinds_[byte] & kTrail) != 0; }
    bool HasFourByteForms() const { return fourByte_; }
    bool IsUtf8() const { return utf8_; }

    // The length of the character at data[at] (1, 2 or 4) within data[0, end).
    std::size_t CharLength(std::uint8_t const *data, std::size_t at, std::size_t end) const;
    // Whether data[at] starts a character when data[from] does (from <= at). Exact for a
    // byte that is neither a lead byte nor a digit (a brace, for instance), and for a lead
    // byte that is the last one of the text; it looks at no byte after data[at].
    bool StartsCharacter(std::uint8_t const *data, std::size_t from, std::size_t at) const;
    // Whether the text data[0, end) ends in a lead byte that stands alone.
    bool EndsInLoneLead(std::uint8_t const *data, std::size_t end) const;
    // The same, told by a scan that passed over the text that no byte of data[wideFrom,
    // end - 1) lies outside WideRun(): only the bytes before wideFrom are walked back over.
    bool EndsInLoneLead(std::uint8_t const *data, std::size_t end, std::size_t wideFrom) const;
    // The longest range of bytes from 0x80 up that can all lead and trail; first == 0 when
    // there is none.
    ByteRange WideRun() const { return {runLow_, runHigh_}; }
    // Whether the lead bytes are exactly the bytes of WideRun() (none when there is none), as
    // in 936, 949 and 54936: a lead byte then stands alone at a text's end when the run of
    // wide-run bytes that it ends is odd.
    bool LeadsAreWideRun() const { return leadsAreWideRun_; }
    // The last character boundary at or before `limit` in the text data[0, end).
    std::size_t BoundaryAtOrBefore(std::uint8_t const *data, std::size_t end,
                                   std::size_t limit) const;

  private:
    static constexpr std::uint8_t kLead = 1;
    static constexpr std::uint8_t kTrail = 2;

    constexpr void Mark(ByteRange range, std::uint8_t kind) {
        for (unsigned byte = range.first; byte <= range.last; ++byte)
            kinds_[byte] = static_cast<std::uint8_t>(kinds_[byte] | kind);
    }
    // The longest range of bytes from 0x80 up that can all lead and trail: the backward
    // walk passes over eight of them at a time.
    constexpr void FindWideRun() {
        runLow_ = runHigh_ = 0;
        for (unsigned byte = 0x80, start = 0x80; byte <= 0x100; ++byte) {
            if (byte < 0x100 && (kinds_[byte] & (kLead | kTrail)) == (kLead | kTrail))
                continue;
            if (byte > start && byte - 1 - start > unsigned(runHigh_ - runLow_)) {
                runLow_ = static_cast<std::uint8_t>(start);
                runHigh_ = static_cast<std::uint8_t>(byte - 1);
            }
            start = byte + 1;
        }
        leadsAreWideRun_ = true;
        for (unsigned byte = 0; byte < 0x100; ++byte)
            if (((kinds_[byte] & kLead) != 0) !=
                (runLow_ != 0 && byte >= runLow_ && byte <= runHigh_))
                leadsAreWideRun_ = false;
    }
    bool IsDigit(std::uint8_t byte) const { return byte >= '0' && byte <= '9'; }
    bool StartsAfterRun(std::uint8_t const *data, std::size_t from, std::size_t begin,
                        std::size_t at) const;
    std::uint64_t OutsideWideRun(std::uint64_t bytes) const;
    std::size_t Utf8Length(std::uint8_t const *data, std::size_t at, std::size_t end) const;

    std::array<std::uint8_t, 256> kinds_{};
    bool fourByte_ = false;
    bool utf8_ = false;
    std::uint8_t runLow_ = 0; // runLow_ == 0: no such range
    std::uint8_t runHigh_ = 0;
    bool leadsAreWideRun_ = true;
};

// The published lead and trail ranges of 932, 936, 949, 950 and 54936, and the UTF-8 table
// of 65001; null for any other code page (every byte a character).
CharTable const *PublishedCharTable(unsigned codePage);

// The table of `codePage` (0: the ANSI code page) as this platform's conversions see it.
// Built from fixed data or one system call: fetch it once per scan, not per character.
CharTable CharTableFor(unsigned codePage);

} // namespace ril::platform
