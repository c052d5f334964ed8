// CRilTxtLoader: the item list that the import, export and header tools build for one call.
// It owns its items; their order is file order until validation sorts them by ID. The
// operations on a list are free functions of the layer they belong to: LoadTxt and SaveTxt
// (text/), LoadBin and SaveBin (table/), Validate and WriteHeader (tools/). Items,
// their records and the list's nodes come from arenas that live as long as the list, so
// a list of a million items costs a few large allocations instead of three million small ones.
#pragma once

#include "core/arena.h"
#include "items/ril_str_res.h"
#include "platform/file.h"
#include "platform/memory.h"

#include <cstddef>
#include <list>
#include <memory>
#include <memory_resource>
#include <vector>

namespace ril::items {

// Ends an item where it was made. Items made in a list's arena own nothing outside it (their
// records come from it too), so they are not destroyed one by one: the arena goes as a whole.
struct ItemRelease {
    bool inArena = false;
    void operator()(RilStrRes *item) const {
        if (!inArena)
            delete item;
    }
};

class CRilTxtLoader {
  public:
    using ItemRelease = ril::items::ItemRelease;
    using ItemHandle = std::unique_ptr<RilStrRes, ItemRelease>;
    using Items = std::pmr::list<ItemHandle>;

    CRilTxtLoader() : items_(&nodeArena_) {}
    virtual ~CRilTxtLoader() = default;
    CRilTxtLoader(CRilTxtLoader const &) = delete;
    CRilTxtLoader &operator=(CRilTxtLoader const &) = delete;

    // A new empty item made in the list's arena, whose records come from it too; null when
    // memory runs out.
    ItemHandle NewItem();
    void Append(ItemHandle item) { items_.push_back(std::move(item)); }
    void Append(std::unique_ptr<RilStrRes> item) { items_.emplace_back(item.release()); }
    // Told the size of the text about to be read into the list: for a large one, each arena
    // whose share of it would reach a huge page starts with huge pages. The shares assume
    // items of some two hundred bytes of text each (then nodes take about an eighth of the
    // text's size, records a quarter, items half); with fewer, longer items an arena's first
    // huge page is only partly used.
    void Expect(std::size_t textBytes) {
        nodeArena_.Expect(textBytes / 8);
        recordArena_.Expect(textBytes / 4);
        itemArena_.Expect(textBytes / 2);
    }
    // Keeps a buffer alive as long as the list, for items that borrow records from it.
    void Keep(platform::FileContent file) { kept_.push_back(std::move(file)); }
    Items &List() { return items_; }
    Items const &List() const { return items_; }
    std::size_t Count() const { return items_.size(); }
    // Calls visit(const RilStrRes &) for each item in list order, fetching the items a few
    // places ahead into the cache: a long list's items lie far beyond the caches, and the
    // writers would otherwise wait for each of them in turn.
    template <typename Visit> void ForEachItem(Visit visit) const {
        constexpr int kAhead = 16;
        auto ahead = items_.begin();
        for (int i = 0; i < kAhead && ahead != items_.end(); ++i)
            ++ahead;
        for (ItemHandle const &item : items_) {
            if (ahead != items_.end()) {
                Prefetch(**ahead);
                ++ahead;
            }
            visit(*item);
        }
    }

  private:
    // The item's two cache lines (ID and macro, record).
    static void Prefetch(RilStrRes const &item) {
#if defined(__GNUC__)
        __builtin_prefetch(&item.ID);
        __builtin_prefetch(&item.Record);
#else
        (void)item;
#endif
    }

    // Separate arenas keep the list's nodes, the items and the records each contiguous, so
    // every walk over them runs through memory in order. Members are destroyed in reverse
    // order: the items first, then what they borrow, then the arenas.
    core::Arena recordArena_{platform::LargeBlocks()};
    core::Arena itemArena_{platform::LargeBlocks()};
    core::Arena nodeArena_{platform::LargeBlocks()};
    std::vector<platform::FileContent> kept_;
    Items items_;
};

} // namespace ril::items
