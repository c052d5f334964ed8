// Bounds-checked little-endian reader over a byte buffer. It behaves like a stream read
// at end of file: a read that cannot be satisfied whole leaves its target unchanged and
// consumes what was left, so callers can preset targets with the value a failed read means.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ril {

template <typename T> constexpr T ByteSwap(T value) {
    T swapped = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        swapped = static_cast<T>(swapped << 8 | ((value >> (8 * i)) & 0xFF));
    return swapped;
}

class LeReader {
  public:
    LeReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    const std::uint8_t *Here() const { return data_ + pos_; }

    bool ReadU16(std::uint16_t &value) { return ReadInt(value); }
    bool ReadU32(std::uint32_t &value) { return ReadInt(value); }

    // Copies up to `size` bytes; returns how many were available.
    std::size_t ReadBytes(void *target, std::size_t size) {
        std::size_t n = size < Remaining() ? size : Remaining();
        if (n > 0)
            std::memcpy(target, data_ + pos_, n);
        pos_ += n;
        return n;
    }

    // Skips up to `size` bytes; returns how many were skipped.
    std::size_t Skip(std::uint64_t size) {
        std::size_t n = size < Remaining() ? static_cast<std::size_t>(size) : Remaining();
        pos_ += n;
        return n;
    }

  private:
    template <typename T> bool ReadInt(T &value) {
        if (Remaining() < sizeof(T)) {
            pos_ = size_;
            return false;
        }
        T result;
        std::memcpy(&result, data_ + pos_, sizeof(T));
        if constexpr (std::endian::native == std::endian::big)
            result = ByteSwap(result);
        pos_ += sizeof(T);
        value = result;
        return true;
    }

    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Little-endian values at a known-good position.
inline std::uint16_t LoadU16(const std::uint8_t *p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

} // namespace ril
