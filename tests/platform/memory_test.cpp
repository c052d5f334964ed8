// Large blocks: mapped zeroed memory, the arena resource over it, and injected failures.
#include "platform/fault.h"
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace ril::platform {
namespace {

TEST(LargeBlocks, MappedMemoryIsZeroedWritableAndReleasable) {
    for (std::size_t size : {kLargeBlockThreshold, std::size_t{5} << 20, std::size_t{12345}}) {
        auto *block = static_cast<std::uint8_t *>(AllocateLarge(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(std::tuple(reinterpret_cast<std::uintptr_t>(block) % 4096, block[0],
                             block[size / 2], block[size - 1]),
                  std::tuple(0u, 0, 0, 0))
            << size;
        block[0] = 1;
        block[size - 1] = 2;
        ReleaseLarge(block, size);
    }
    EXPECT_EQ(AllocateLarge(0), nullptr);
    EXPECT_EQ(AllocateLarge(SIZE_MAX), nullptr);
}

TEST(LargeBlocks, ArenaResourceServesBothSizesAndReportsFailure) {
    std::pmr::memory_resource *resource = LargeBlocks();
    void *small = resource->allocate(100, 16);
    void *large = resource->allocate(kLargeBlockThreshold * 3, 64);
    ASSERT_TRUE(small && large);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large) % 64, 0u);
    static_cast<char *>(large)[kLargeBlockThreshold * 3 - 1] = 'x';
    resource->deallocate(large, kLargeBlockThreshold * 3, 64);
    resource->deallocate(small, 100, 16);
    // A mapping the system refuses becomes bad_alloc, as a memory resource must report it.
    ArmFault(Fault::Alloc, 1);
    EXPECT_THROW((void)resource->allocate(kLargeBlockThreshold, 8), std::bad_alloc);
    DisarmAllFaults();
}

} // namespace
} // namespace ril::platform
