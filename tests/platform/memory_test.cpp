// Large blocks: mapped memory, zeroed, aligned to pages, writable and released.
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

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

} // namespace
} // namespace ril::platform
