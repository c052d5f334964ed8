// A bump allocator for objects that all die together (the item list's items, records and
// nodes): blocks grow from 64 KiB to whole huge pages, and are all released at the end.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <vector>

namespace ril::core {

class Arena final : public std::pmr::memory_resource {
  public:
    // Blocks come from `upstream`; it throws std::bad_alloc when memory runs out.
    explicit Arena(std::pmr::memory_resource *upstream) : upstream_(upstream) {}
    ~Arena() override;
    Arena(Arena const &) = delete;
    Arena &operator=(Arena const &) = delete;

    // `bytes` bytes, of which those from `filled` on are zero. A long zero tail gets a
    // mapping of its own, which the system hands out zeroed without touching it.
    void *AllocateZeroTail(std::size_t bytes, std::size_t filled);
    // Told that at least `bytes` bytes will be asked for, an arena that has no block yet
    // starts with whole huge pages instead of heap blocks that fault in 4 KiB at a time.
    void Expect(std::size_t bytes) {
        if (blocks_.empty() && bytes >= kHugePage)
            nextSize_ = kHugePage;
    }

  private:
    struct Block {
        void *data;
        std::size_t size;
    };

    void *do_allocate(std::size_t bytes, std::size_t alignment) override;
    // Memory is given back only with the arena.
    void do_deallocate(void *, std::size_t, std::size_t) override {}
    bool do_is_equal(std::pmr::memory_resource const &other) const noexcept override {
        return this == &other;
    }
    void Grow(std::size_t atLeast);

    std::pmr::memory_resource *upstream_;
    std::vector<Block> blocks_;
    std::vector<Block> zeroed_; // mappings of their own, for long zero tails
    char *next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t nextSize_ = kFirstBlock;

    static constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
    // From here on blocks are whole huge pages, doubling up to kLargestStep at a time.
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static constexpr std::size_t kLargestStep = std::size_t{64} << 20;
    static constexpr std::size_t kLongZeroTail = std::size_t{64} << 10;
};

} // namespace ril::core
