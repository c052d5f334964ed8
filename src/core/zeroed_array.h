// A zero-filled heap array that owns its memory. Large arrays come zeroed from the system
// without being touched, so a sparse ID table costs only the pages it uses.
#pragma once

#include "core/allocate.h"

#include <cstddef>
#include <type_traits>

namespace ril::core {

template <typename T> class ZeroedArray {
    static_assert(std::is_trivial_v<T>, "zero bytes must be a valid T");

  public:
    ZeroedArray() = default;

    // Allocates `count` zeroed elements; false (and empty) when the memory cannot be had.
    bool Allocate(std::size_t count) {
        data_.reset();
        size_ = 0;
        if (count == 0)
            return false;
        data_ = AllocateZeroed<T>(count);
        if (!data_)
            return false;
        size_ = count;
        return true;
    }
    void Reset() {
        data_.reset();
        size_ = 0;
    }

    T *Get() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }
    T &operator[](std::size_t i) const { return data_[i]; }

  private:
    ZeroedBlock<T> data_;
    std::size_t size_ = 0;
};

} // namespace ril::core
