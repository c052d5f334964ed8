// Bounds that keep what a BIN makes its readers allocate, and the table saver write, in
// proportion to the file's size, however large the counts, IDs and sizes it declares.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ril {

// A record cut short by the end of its file is completed with zero bytes, at most this many;
// an entry that declares more fails to read.
constexpr std::uint32_t kMaxMissingRecordBytes = std::uint32_t{1} << 20;

inline bool MissingPartTooLarge(std::uint32_t size, std::size_t available) {
    return size - available > kMaxMissingRecordBytes;
}

// A table indexes its records directly by ID while its ID slots (max ID + 10) stay within
// one per 4 bytes of the file plus a floor for small files; every entry takes at least 8
// bytes, so a table of consecutive IDs always qualifies. Sparser tables use a sorted index.
constexpr std::size_t kMinDenseSlots = 4096;

inline bool DenseSlotsFit(std::uint32_t slots, std::size_t fileSize) {
    return slots <= fileSize / 4 + kMinDenseSlots;
}

} // namespace ril
