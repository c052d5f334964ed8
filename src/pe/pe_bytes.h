// Bounds-checked little-endian access to the bytes of a PE file, with 64-bit offsets: a read
// or write outside the range does nothing but mark the accessor failed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ril::platform::pe {

// True when [offset, offset + length) lies inside a range of `size` bytes.
constexpr bool InRange(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t Size() const { return bytes_.size(); }
    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return InRange(offset, length, bytes_.size());
    }
    // False once any read fell outside the range.
    bool Ok() const { return ok_; }

    std::uint16_t U16(std::uint64_t offset) { return static_cast<std::uint16_t>(Int(offset, 2)); }
    std::uint32_t U32(std::uint64_t offset) { return static_cast<std::uint32_t>(Int(offset, 4)); }
    std::uint64_t U64(std::uint64_t offset) { return Int(offset, 8); }
    // The bytes [offset, offset + length), or an empty span (and failure) when outside.
    std::span<const std::uint8_t> Slice(std::uint64_t offset, std::uint64_t length) {
        if (!Has(offset, length)) {
            ok_ = false;
            return {};
        }
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }

  private:
    std::uint64_t Int(std::uint64_t offset, unsigned width) {
        if (!Has(offset, width)) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i)
            value |= std::uint64_t{bytes_[static_cast<std::size_t>(offset) + i]} << (8 * i);
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    bool ok_ = true;
};

class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

    bool Ok() const { return ok_; }
    void U16(std::uint64_t offset, std::uint16_t value) { Int(offset, value, 2); }
    void U32(std::uint64_t offset, std::uint32_t value) { Int(offset, value, 4); }
    void Bytes(std::uint64_t offset, std::span<const std::uint8_t> data) {
        if (!InRange(offset, data.size(), bytes_.size())) {
            ok_ = false;
            return;
        }
        std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    }

  private:
    void Int(std::uint64_t offset, std::uint64_t value, unsigned width) {
        if (!InRange(offset, width, bytes_.size())) {
            ok_ = false;
            return;
        }
        for (unsigned i = 0; i < width; ++i)
            bytes_[static_cast<std::size_t>(offset) + i] =
                static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::span<std::uint8_t> bytes_;
    bool ok_ = true;
};

} // namespace ril::platform::pe
