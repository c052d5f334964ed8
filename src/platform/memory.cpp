// The part of the large-block service that every backend shares: the arena resource.
#include "platform/memory.h"

#include "platform/fault.h"

#include <new>

namespace ril::platform {

void *AllocateLarge(std::size_t size) {
    return ShouldFail(Fault::Alloc) ? nullptr : MapBlock(size);
}

void *LargeBlockResource::do_allocate(std::size_t bytes, std::size_t alignment) {
    if (bytes < kLargeBlockThreshold)
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    // Mapped blocks are page-aligned, which covers every alignment an arena asks for.
    void *block = AllocateLarge(bytes);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void LargeBlockResource::do_deallocate(void *block, std::size_t bytes, std::size_t alignment) {
    if (bytes < kLargeBlockThreshold)
        std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
    else
        ReleaseLarge(block, bytes);
}

LargeBlockResource *LargeBlocks() {
    static LargeBlockResource resource;
    return &resource;
}

} // namespace ril::platform
