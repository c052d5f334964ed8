// The bump allocator: blocks of growing size, each used front to back.
#include "core/arena.h"

#include "platform/memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace ril::core {

Arena::~Arena() {
    for (Block const &block : blocks_)
        upstream_->deallocate(block.data, block.size, alignof(std::max_align_t));
    for (Block const &block : zeroed_)
        platform::ReleaseLarge(block.data, block.size);
}

void *Arena::AllocateZeroTail(std::size_t bytes, std::size_t filled) {
    if (filled > bytes)
        filled = bytes;
    if (bytes - filled < kLongZeroTail) {
        auto *piece = static_cast<unsigned char *>(allocate(bytes, 1));
        std::memset(piece + filled, 0, bytes - filled);
        return piece;
    }
    zeroed_.reserve(zeroed_.size() + 1);
    void *data = platform::MapBlock(bytes);
    if (data == nullptr)
        throw std::bad_alloc();
    zeroed_.push_back(Block{data, bytes});
    return data;
}

void Arena::Grow(std::size_t atLeast) {
    std::size_t size = nextSize_;
    while (size < atLeast) {
        if (size > SIZE_MAX / 2)
            throw std::bad_alloc();
        size *= 2;
    }
    if (size >= kHugePage)
        size = (size + kHugePage - 1) / kHugePage * kHugePage;
    blocks_.reserve(blocks_.size() + 1); // so that the push below cannot lose the block
    void *data = upstream_->allocate(size, alignof(std::max_align_t));
    blocks_.push_back(Block{data, size});
    next_ = static_cast<char *>(data);
    left_ = size;
    // Small lists stay small; long ones soon take huge pages a few at a time.
    nextSize_ = size < kHugePage ? size * 4 : size + std::min(size, kLargestStep);
}

void *Arena::do_allocate(std::size_t bytes, std::size_t alignment) {
    auto padding =
        static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(next_) & (alignment - 1));
    if (next_ == nullptr || bytes > left_ || padding > left_ - bytes) {
        if (bytes > SIZE_MAX - alignment)
            throw std::bad_alloc();
        Grow(bytes + alignment);
        padding =
            static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(next_) & (alignment - 1));
    }
    char *result = next_ + padding;
    next_ = result + bytes;
    left_ -= padding + bytes;
    return result;
}

} // namespace ril::core
