// The BIN file format: a 12-byte header (holder flag, max ID, count), the entries (ID, record
// size, record) and, when the holder flag is 1, a holder marker at the end of the file (text,
// 16-bit length, zero byte). Readers follow a stream's rules at the end of the file: a field
// that cannot be read whole keeps the value its caller preset.
#pragma once

#include "core/byte_cursor.h"
#include "platform/file_replacer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ril::table {

constexpr std::size_t kBinHeaderSize = 12;
constexpr std::size_t kBinEntryHeaderSize = 8;
constexpr std::size_t kHolderMarkerExtra = 3;  // the 16-bit length and the closing zero byte
constexpr std::size_t kMaxHolderText = 0xFFFF; // the width of the marker's length field
constexpr std::uint32_t kHolderFlagNone = 0;
constexpr std::uint32_t kHolderFlagPresent = 1; // any larger flag makes the file no BIN
constexpr std::uint32_t kNoEntryId = 0xFFFFFFFFu;

// A record cut short by the end of its file is completed with zero bytes, at most this many;
// an entry that declares more fails to read.
constexpr std::uint32_t kMaxMissingRecordBytes = std::uint32_t{1} << 20;

// A table indexes its records directly by ID while its ID slots (max ID + 10) stay within
// one per 4 bytes of the file plus a floor for small files; every entry takes at least 8
// bytes, so a table of consecutive IDs always qualifies. Sparser tables use a sorted index.
constexpr std::size_t kMinDenseSlots = 4096;

inline bool DenseSlotsFit(std::uint32_t slots, std::size_t fileSize) {
    return slots <= fileSize / 4 + kMinDenseSlots;
}

struct BinHeader {
    std::uint32_t flag = kHolderFlagPresent; // a file too short to hold the flag counts as 1
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;

    // Entry IDs must stay below this (32-bit arithmetic, like the field it comes from).
    std::uint32_t IdBound() const { return maxId + 10u; }
};

// An entry as read: its record is `size` bytes at `offset` in the file, of which only
// `available` are present when the file ends inside it.
struct BinEntryView {
    std::uint32_t id = kNoEntryId;
    std::uint32_t size = 0;
    std::size_t offset = 0;
    std::size_t available = 0;
};

// Reads the header from the start of the file into `header`.
void ReadBinHeader(core::ByteReader &reader, BinHeader &header);

// Reads the next entry. False when its ID is missing or not below `idBound` (the size is not
// read then), or when more of its record is missing than a reader completes with zeros.
// Inline: the entry walks call it once per entry.
inline bool ReadBinEntry(core::ByteReader &reader, std::uint32_t idBound, BinEntryView &entry) {
    reader.ReadU32(entry.id);
    if (entry.id >= idBound)
        return false;
    reader.ReadU32(entry.size);
    entry.offset = reader.Offset();
    entry.available = entry.size < reader.Remaining() ? entry.size : reader.Remaining();
    reader.Skip(entry.size);
    return entry.size - entry.available <= kMaxMissingRecordBytes;
}

// The text of the holder marker that ends `fileEnd` (a file's last bytes, or all of them),
// as long as its length field says; empty when there is no room for that many bytes.
std::span<const std::uint8_t> HolderMarkerText(std::span<const std::uint8_t> fileEnd);

// The holder marker of `text`: HolderMarkerSize bytes, filled into a buffer of exactly that
// size. False when the buffer size differs or the text is too long for the length field.
constexpr std::size_t HolderMarkerSize(std::size_t textBytes) {
    return textBytes + kHolderMarkerExtra;
}
bool FillHolderMarker(std::span<std::uint8_t> out, std::string_view text);

// "Holder=<name>    Editor=VeruDodUzarer    StartTime=<y>-<m>-<d> <h>:<m>'<s>"", at most
// 1023 bytes: the holder set (Ril_SetHolderText) or the user's name, and the stamp time.
std::string CurrentHolderText();

struct BinEntry {
    std::uint32_t id;
    std::uint8_t const *record;
    std::uint32_t size;
};

// The pieces of a BIN, for writers that walk their own entries: the header (max ID and
// count, known before the first entry, holder flag 1), each entry, and the holder marker
// that ends the file.
void WriteBinHead(platform::FileReplacer &out, std::uint32_t maxId, std::uint32_t count);
void WriteBinEntry(platform::FileReplacer &out, BinEntry const &entry);
void WriteBinTail(platform::FileReplacer &out, std::string_view holderText);

// Writes the complete file: max ID and count are those of the entries written (0 and 0 for
// none), then the entries and the holder marker.
void WriteBinImage(platform::FileReplacer &out, std::vector<BinEntry> const &entries,
                   std::string_view holderText);

} // namespace ril::table
