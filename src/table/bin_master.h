// CBinMaster: the loaded string table. One BIN read whole into memory, every item record
// kept in a slot indexed directly by its ID, or through a sorted ID index when the IDs are
// too sparse for the file's size.
#pragma once

#include "core/limits.h"
#include "core/result_codes.h"
#include "core/zeroed_array.h"
#include "items/item_record.h"
#include "platform/memory.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ril {

class CBinMaster {
  public:
    CBinMaster();
    virtual ~CBinMaster();
    CBinMaster(const CBinMaster &) = delete;
    CBinMaster &operator=(const CBinMaster &) = delete;

    // Loads the BIN at `path`, replacing any loaded table: S_OK or E_FAIL.
    HResult LoadRes(const char *path);
    // Loads again from the stored path; refused while a table is loaded or with no path.
    HResult ReLoadRes();
    void UnloadRes();
    // Saves the table as a BIN and unloads it: S_OK, E_FAIL (nothing loaded, or the file
    // cannot be written; the table stays) or E_OUTOFMEMORY.
    HResult ExportResToBinFile(const char *path);

    bool IsLoaded() const { return loaded_ != 0; }
    const char *Path() const { return path_; }
    std::uint32_t MaxId() const { return maxId_; }
    std::uint32_t Count() const { return count_; }
    // The ID bound, max ID + 10 (0 without entries): entries at or above it fail the load.
    std::uint32_t Capacity() const { return capacity_; }
    // The slots allocated: one per ID below the capacity in a dense table, one per stored
    // ID in a sparse one.
    std::size_t SlotCount() const { return items_.Size(); }
    // The holder text of the loaded file, or null when it has holder flag 0.
    const char *HolderText() const { return holder_.Get(); }

    // The record stored for `id`, or an empty reference.
    RecordRef Record(std::uint32_t id) const {
        std::size_t slot = Slot(id);
        if (slot == kNoSlot || items_[slot] == nullptr)
            return RecordRef{};
        return RecordRef{items_[slot], sizes_[slot]};
    }
    // The size slot of `id`: 0 without a record or a table.
    std::uint32_t RecordSize(std::uint32_t id) const {
        std::size_t slot = Slot(id);
        return slot == kNoSlot ? 0 : sizes_[slot];
    }

    // The text of `id` as the getters hand it out: carriage returns blanked, a terminator
    // inside memory the table owns, wide text on an even address. Null without a record.
    std::uint8_t *NarrowText(std::uint32_t id);
    std::uint8_t *WideText(std::uint32_t id);

  private:
    class Loader;
    enum TextState : std::uint8_t { kNarrowReady = 1, kWideReady = 2 };

    static constexpr std::size_t kNoSlot = SIZE_MAX;

    // The slot of `id`: the ID itself in a dense table, its rank in the sparse index.
    std::size_t Slot(std::uint32_t id) const {
        if (id < denseSlots_)
            return id;
        return sparseIds_ ? SparseSlot(id) : kNoSlot;
    }
    std::size_t SparseSlot(std::uint32_t id) const;

    std::uint8_t *PreparedText(std::uint32_t id, TextState state,
                               bool (*prepare)(std::uint8_t *, std::size_t));
    // Moves the record of a slot into a copy of its own, zero-padded, with its text on an
    // even address.
    RecordRef CopyRecord(std::size_t slot, const std::uint8_t *bytes, std::size_t available);

    std::uint32_t loaded_ = 0;
    ZeroedArray<char> holder_;
    std::uint32_t maxId_ = 0;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = 0;
    // Slots: indexed by ID below denseSlots_ (the capacity of a dense table, else 0), or by
    // the rank of the ID in sparseIds_, which holds the stored IDs in ascending order.
    std::uint32_t denseSlots_ = 0;
    ZeroedArray<std::uint32_t> sparseIds_;
    ZeroedArray<std::uint8_t *> items_;
    ZeroedArray<std::uint32_t> sizes_;
    ZeroedArray<std::uint8_t> states_; // TextState bits per slot
    // The file's bytes, which most slots point into, and the records that had to move out.
    platform::Bytes file_;
    std::vector<std::unique_ptr<std::uint8_t[]>> copies_;
    char path_[kPathSize] = {};
};

} // namespace ril
