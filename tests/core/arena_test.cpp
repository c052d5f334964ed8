// The bump allocator: aligned pieces that never overlap, blocks larger than the next step,
// and the upstream's failure passed on.
#include "core/arena.h"
#include "platform/fault.h"
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory_resource>
#include <new>
#include <vector>

using namespace ril::core;

namespace ril {
namespace {

TEST(Arena, PiecesAreAlignedDisjointAndKeepTheirBytes) {
    Arena arena(platform::LargeBlocks());
    std::map<std::uintptr_t, std::size_t> pieces; // start -> size
    std::size_t total = 0;
    for (std::size_t i = 0; total < (std::size_t{12} << 20); ++i) {
        const std::size_t size = i % 97 == 0 ? (std::size_t{1} << 20) + i : 1 + i % 300;
        const std::size_t alignment = std::size_t{1} << (i % 5);
        auto *piece = static_cast<unsigned char *>(arena.allocate(size, alignment));
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(piece) % alignment, 0u);
        std::memset(piece, static_cast<int>(i & 0xFF), size);
        pieces[reinterpret_cast<std::uintptr_t>(piece)] = size;
        total += size;
    }
    std::uintptr_t end = 0;
    for (auto const &[start, size] : pieces) {
        EXPECT_GE(start, end);
        end = start + size;
    }
    // A piece far larger than any block so far gets a block of its own.
    auto *huge = static_cast<unsigned char *>(arena.allocate(std::size_t{40} << 20, 64));
    huge[(std::size_t{40} << 20) - 1] = 1;
    arena.deallocate(huge, std::size_t{40} << 20, 64); // a no-op until the arena goes
    // The upstream's failure is passed on as std::bad_alloc.
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_THROW((void)arena.allocate(std::size_t{80} << 20, 8), std::bad_alloc);
    platform::DisarmAllFaults();
    EXPECT_NE(arena.allocate(16, 8), nullptr);
}

// Records the block sizes an arena asks its upstream for.
struct Recording final : std::pmr::memory_resource {
    std::vector<std::size_t> sizes;
    void *do_allocate(std::size_t bytes, std::size_t alignment) override {
        sizes.push_back(bytes);
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    void do_deallocate(void *block, std::size_t bytes, std::size_t alignment) override {
        std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
    }
    bool do_is_equal(memory_resource const &other) const noexcept override {
        return this == &other;
    }
};

TEST(Arena, AnExpectedHugePageIsTheFirstBlock) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    for (std::size_t expected : {kHugePage - 1, kHugePage}) {
        Recording upstream;
        Arena arena(&upstream);
        arena.Expect(expected);
        (void)arena.allocate(16, 8);
        arena.Expect(expected * 4); // too late: the next block follows the usual steps
        (void)arena.allocate(kHugePage, 8);
        std::size_t const first = expected < kHugePage ? std::size_t{64} << 10 : kHugePage;
        EXPECT_EQ(upstream.sizes, (std::vector<std::size_t>{first, std::size_t{4} << 20}));
    }
}

} // namespace
} // namespace ril
