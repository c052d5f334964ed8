// Little-endian writer into a buffer sized in advance: writers compute the layout first,
// then fill exactly that many bytes. Writing past the planned size is a logic error, which
// the writer refuses rather than overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ril {

class LeWriter {
  public:
    explicit LeWriter(std::size_t size) : bytes_(size) {}

    void U16(std::uint16_t value) { Int(value); }
    void U32(std::uint32_t value) { Int(value); }
    void Bytes(const void *data, std::size_t size) {
        if (size == 0 || !Fits(size))
            return;
        std::memcpy(bytes_.data() + pos_, data, size);
        pos_ += size;
    }
    void Zeros(std::size_t size) {
        if (Fits(size))
            pos_ += size; // the buffer starts zero-filled
    }
    // Overwrites a 32-bit value at an earlier position.
    void PatchU32(std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4 && at + i < bytes_.size(); ++i)
            bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::size_t Position() const { return pos_; }
    // True when exactly the planned number of bytes was written.
    bool Complete() const { return pos_ == bytes_.size() && !overrun_; }
    const std::vector<std::uint8_t> &Data() const { return bytes_; }

  private:
    bool Fits(std::size_t size) {
        if (size > bytes_.size() - pos_) {
            overrun_ = true;
            return false;
        }
        return true;
    }
    template <typename T> void Int(T value) {
        if (!Fits(sizeof(T)))
            return;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes_[pos_ + i] = static_cast<std::uint8_t>(value >> (8 * i));
        pos_ += sizeof(T);
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool overrun_ = false;
};

// Little-endian values into a buffer the caller has sized.
inline void StoreU16(std::uint8_t *p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void StoreU32(std::uint8_t *p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace ril
