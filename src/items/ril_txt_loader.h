// CRilTxtLoader: the item list that the import, export and header tools build for one call.
// It owns its items; their order is file order until validation sorts them by ID. Items,
// their records and the list's nodes come from arenas that live as long as the list, so
// a list of a million items costs a few large allocations instead of three million small ones.
#pragma once

#include "platform/file.h"
#include "platform/memory.h"
#include "items/ril_str_res.h"
#include "core/arena.h"

#include <cstddef>
#include <list>
#include <memory>
#include <memory_resource>
#include <vector>

namespace ril {

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
    using ItemRelease = ril::ItemRelease;
    using ItemHandle = std::unique_ptr<RilStrRes, ItemRelease>;
    using Items = std::pmr::list<ItemHandle>;

    CRilTxtLoader() : items_(&nodeArena_) {}
    virtual ~CRilTxtLoader() = default;
    CRilTxtLoader(const CRilTxtLoader &) = delete;
    CRilTxtLoader &operator=(const CRilTxtLoader &) = delete;

    // Appends the items of a text resource file; 1 on success, 0 after reporting a failure.
    int LoadTxt(const char *txtPath, int wide, const char *logPath);
    // Reports every bad or repeated macro and repeated ID, removes the repeats and sorts
    // the list by signed ID; true when nothing was wrong.
    bool Validate(const char *logPath);
    // Writes the list as a BIN (the loaded table's file when binPath is null); 1 or 0.
    int SaveBin(const char *binPath, const char *logPath);
    // Appends the entries of a BIN (the loaded table's file when binPath is null); 1 on
    // success, 0 after showing why.
    int LoadBin(const char *binPath);
    // Writes the list as a text resource file in the given flavour; 1 or 0.
    int SaveTxt(const char *path, int wide) const;
    // Writes the list as a header of IDT_ definitions; false when it could not be written.
    bool WriteHeader(const char *headerPath, int wide) const;

    // A new empty item made in the list's arena, whose records come from it too; null when
    // memory runs out.
    ItemHandle NewItem();
    void Append(ItemHandle item) { items_.push_back(std::move(item)); }
    void Append(std::unique_ptr<RilStrRes> item) { items_.emplace_back(item.release()); }
    // Keeps a buffer alive as long as the list, for items that borrow records from it.
    void Keep(platform::FileContent file) { kept_.push_back(std::move(file)); }
    Items &List() { return items_; }
    const Items &List() const { return items_; }
    std::size_t Count() const { return items_.size(); }
    // Calls visit(const RilStrRes &) for each item in list order, fetching the items a few
    // places ahead into the cache: a long list's items lie far beyond the caches, and the
    // writers would otherwise wait for each of them in turn.
    template <typename Visit> void ForEachItem(Visit visit) const {
        constexpr int kAhead = 16;
        auto ahead = items_.begin();
        for (int i = 0; i < kAhead && ahead != items_.end(); ++i)
            ++ahead;
        for (const ItemHandle &item : items_) {
            if (ahead != items_.end()) {
                Prefetch(**ahead);
                ++ahead;
            }
            visit(*item);
        }
    }

  private:
    // The item's first bytes (ID, macro) and its record's owner.
    static void Prefetch(const RilStrRes &item) {
#if defined(__GNUC__)
        __builtin_prefetch(&item.ID);
        __builtin_prefetch(item.Macro + 64);
        __builtin_prefetch(&item.Record);
#else
        (void)item;
#endif
    }

    // Separate arenas keep the list's nodes, the items and the records each contiguous, so
    // every walk over them runs through memory in order. Members are destroyed in reverse
    // order: the items first, then what they borrow, then the arenas.
    Arena recordArena_{platform::LargeBlocks()};
    Arena itemArena_{platform::LargeBlocks()};
    Arena nodeArena_{platform::LargeBlocks()};
    std::vector<platform::FileContent> kept_;
    Items items_;
};

// Fills `list` with the BIN a tool works on (the loaded table's file when binPath is null):
// kSOk, kErrArgument (neither a path nor a loaded table: reported), or kErrBinRead.
HResult LoadToolSource(CRilTxtLoader &list, const char *binPath);

} // namespace ril
