// Large blocks of zeroed memory straight from the system, for the item list's arenas and
// whole-file buffers: mapped on demand and, where the system offers them, backed by huge
// pages, so that filling tens of megabytes does not take one page fault per 4 KiB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>

namespace ril::platform {

// Blocks below this size come from the heap: mapping them would cost more than it saves.
constexpr std::size_t kLargeBlockThreshold = std::size_t{2} << 20;

// Maps `size` bytes of zeroed memory; null when the system refuses (or a test injects the
// failure). Release with ReleaseLarge and the same size.
void *AllocateLarge(std::size_t size);
void ReleaseLarge(void *block, std::size_t size);
// The same without failure injection, for callers that do their own.
void *MapBlock(std::size_t size);

// A byte buffer for whole files: mapped when large, from the heap otherwise; its bytes are
// not initialised.
struct BytesRelease {
    std::size_t size = 0;
    void operator()(std::uint8_t *bytes) const {
        if (size >= kLargeBlockThreshold)
            ReleaseLarge(bytes, size);
        else
            delete[] bytes;
    }
};
using Bytes = std::unique_ptr<std::uint8_t[], BytesRelease>;

// A memory resource for arenas: large requests are mapped, small ones come from the heap.
// Throws std::bad_alloc when memory runs out, as memory resources do.
class LargeBlockResource final : public std::pmr::memory_resource {
  private:
    void *do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void *block, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(std::pmr::memory_resource const &other) const noexcept override {
        return this == &other;
    }
};

// The process's one instance; it holds no state.
LargeBlockResource *LargeBlocks();

} // namespace ril::platform
