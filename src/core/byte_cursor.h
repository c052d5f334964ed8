// Bounds-checked little-endian access to byte buffers: a reader that walks (or seeks in) a
// buffer and a writer that fills a buffer sized in advance. Values are copied with memcpy.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace ril::core {

// True when [offset, offset + length) lies inside a range of `size` bytes.
constexpr bool InRange(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

template <typename T> constexpr T FromLittleEndian(T value) {
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        T swapped = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            swapped = static_cast<T>(swapped << 8 | ((value >> (8 * i)) & 0xFF));
        return swapped;
    }
    return value;
}

// Little-endian values at a position the caller has checked.
inline std::uint16_t LoadU16(std::uint8_t const *p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return FromLittleEndian(value);
}
inline std::uint64_t LoadU64(void const *p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return FromLittleEndian(value);
}
inline void StoreU16(std::uint8_t *p, std::uint16_t value) {
    value = FromLittleEndian(value);
    std::memcpy(p, &value, sizeof value);
}

// Reads in order from the current offset, or at an absolute offset (which leaves the
// current offset alone). A read that the remaining bytes cannot satisfy whole leaves its
// target unchanged, moves the offset to the end (like a stream at end of file) and marks the
// reader failed for good; callers may preset targets with the value a failed read means.
class ByteReader {
  public:
    ByteReader(std::uint8_t const *data, std::size_t size) : bytes_(data, size) {}
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t Size() const { return bytes_.size(); }
    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return bytes_.size() - offset_; }
    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return InRange(offset, length, bytes_.size());
    }
    // False once any read, skip or seek failed.
    bool Ok() const { return ok_; }

    bool ReadU8(std::uint8_t &value) { return Read(value); }
    bool ReadU16(std::uint16_t &value) { return Read(value); }
    bool ReadU32(std::uint32_t &value) { return Read(value); }
    bool ReadU64(std::uint64_t &value) { return Read(value); }
    bool ReadBytes(void *target, std::size_t length) {
        if (!Take(length))
            return false;
        if (length > 0)
            std::memcpy(target, bytes_.data() + offset_ - length, length);
        return true;
    }
    bool Skip(std::uint64_t length) { return Take(length); }
    bool Seek(std::uint64_t offset) {
        if (offset > bytes_.size())
            return Fail();
        offset_ = static_cast<std::size_t>(offset);
        return true;
    }

    // Values at an absolute offset: 0 (and failure) when outside.
    std::uint16_t U16At(std::uint64_t offset) { return At<std::uint16_t>(offset); }
    std::uint32_t U32At(std::uint64_t offset) { return At<std::uint32_t>(offset); }
    std::uint64_t U64At(std::uint64_t offset) { return At<std::uint64_t>(offset); }
    // The bytes [offset, offset + length), or an empty span (and failure) when outside.
    std::span<const std::uint8_t> SliceAt(std::uint64_t offset, std::uint64_t length) {
        if (!Has(offset, length)) {
            ok_ = false;
            return {};
        }
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }

  private:
    bool Fail() {
        offset_ = bytes_.size();
        ok_ = false;
        return false;
    }
    bool Take(std::uint64_t length) {
        if (length > Remaining())
            return Fail();
        offset_ += static_cast<std::size_t>(length);
        return true;
    }
    template <typename T> bool Read(T &value) {
        if (Remaining() < sizeof(T))
            return Fail();
        T raw;
        std::memcpy(&raw, bytes_.data() + offset_, sizeof raw);
        offset_ += sizeof raw;
        value = FromLittleEndian(raw);
        return true;
    }
    template <typename T> T At(std::uint64_t offset) {
        if (!Has(offset, sizeof(T))) {
            ok_ = false;
            return 0;
        }
        T raw;
        std::memcpy(&raw, bytes_.data() + offset, sizeof raw);
        return FromLittleEndian(raw);
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

// Fills a buffer whose size the caller computed from the layout, in order or at absolute
// offsets. A write that does not fit writes nothing and marks the writer failed for good, so
// a layout and its filling that disagree show up as !Complete() rather than as an overrun.
class ByteWriter {
  public:
    ByteWriter(std::uint8_t *data, std::size_t size) : bytes_(data, size) {}
    explicit ByteWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return offset_; }
    bool Ok() const { return ok_; }
    // True when every write fitted and the buffer is filled to its end.
    bool Complete() const { return ok_ && offset_ == bytes_.size(); }

    void U8(std::uint8_t value) { Put(value); }
    void U16(std::uint16_t value) { Put(value); }
    void U32(std::uint32_t value) { Put(value); }
    void Bytes(void const *data, std::size_t length) {
        if (Fits(offset_, length)) {
            if (length > 0)
                std::memcpy(bytes_.data() + offset_, data, length);
            offset_ += length;
        }
    }
    void Zeros(std::size_t length) {
        if (Fits(offset_, length)) {
            std::memset(bytes_.data() + offset_, 0, length);
            offset_ += length;
        }
    }

    void U16At(std::uint64_t offset, std::uint16_t value) { PutAt(offset, value); }
    void U32At(std::uint64_t offset, std::uint32_t value) { PutAt(offset, value); }
    void BytesAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
        if (Fits(offset, data.size()) && !data.empty())
            std::memcpy(bytes_.data() + offset, data.data(), data.size());
    }

  private:
    bool Fits(std::uint64_t offset, std::uint64_t length) {
        if (!InRange(offset, length, bytes_.size()))
            ok_ = false;
        return ok_;
    }
    template <typename T> void PutAt(std::uint64_t offset, T value) {
        if (!Fits(offset, sizeof(T)))
            return;
        T raw = FromLittleEndian(value);
        std::memcpy(bytes_.data() + offset, &raw, sizeof raw);
    }
    template <typename T> void Put(T value) {
        PutAt(offset_, value);
        if (ok_)
            offset_ += sizeof(T);
    }

    std::span<std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

} // namespace ril::core
