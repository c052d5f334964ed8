// CBinMaster: the loaded string table. One BIN read whole into memory, every item record
// kept in a slot indexed directly by its ID, or through a sorted ID index when the IDs are
// too sparse for the file's size.
#pragma once

#include "core/limits.h"
#include "core/result_codes.h"
#include "core/zeroed_array.h"
#include "items/item_record.h"
#include "platform/file.h"
#include "platform/memory.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ril::table {

class CBinMaster {
  public:
    CBinMaster();
    virtual ~CBinMaster();
    CBinMaster(CBinMaster const &) = delete;
    CBinMaster &operator=(CBinMaster const &) = delete;

    // Loads the BIN at `path`, replacing any loaded table: S_OK or E_FAIL.
    core::HResult LoadRes(char const *path);
    // Loads a BIN image of `size` bytes from memory, replacing any loaded table, with the
    // same results as LoadRes for a file of those bytes. The image is copied (the getters
    // write into the records they hand out, and the caller's bytes may be read-only). The
    // table then has no file: the stored path is cleared, so ReLoadRes refuses and the
    // tools find no loaded file to work on.
    core::HResult LoadImage(void const *bytes, std::size_t size);
    // Takes over a whole file's bytes, read by the caller, as the loaded table, with the
    // results of LoadRes for that file; the stored path is cleared as by LoadImage.
    core::HResult LoadContent(platform::FileContent &content);
    // Loads again from the stored path; refused while a table is loaded or with no path.
    core::HResult ReLoadRes();
    void UnloadRes();
    // Saves the table as a BIN and unloads it: S_OK, E_FAIL (nothing loaded, or the file
    // cannot be written; the table stays) or E_OUTOFMEMORY.
    core::HResult ExportResToBinFile(char const *path);

    bool IsLoaded() const { return loaded_ != 0; }
    char const *Path() const { return path_; }
    std::uint32_t Count() const { return count_; }
    // The ID bound, max ID + 10 (0 without entries): entries at or above it fail the load.
    std::uint32_t Capacity() const { return capacity_; }
    // The slots allocated: one per ID below the capacity in a dense table, one per stored
    // ID in a sparse one.
    std::size_t SlotCount() const { return slots_.Size(); }
    // The holder text of the loaded file, or null when it has holder flag 0.
    char const *HolderText() const { return holder_.Get(); }

    // The record stored for `id`, or an empty reference.
    items::RecordRef Record(std::uint32_t id) const {
        TableSlot const *slot = Find(id);
        return slot != nullptr ? items::RecordRef{slot->record, slot->size} : items::RecordRef{};
    }
    // The size slot of `id`: 0 without a record or a table.
    std::uint32_t RecordSize(std::uint32_t id) const {
        TableSlot const *slot = Find(id);
        return slot != nullptr ? slot->size : 0;
    }

    // Calls visit(id, record) for every stored record, in ascending ID order.
    template <typename Visit> void ForEachRecord(Visit &&visit) const {
        for (std::size_t slot = 0; slot < slots_.Size(); ++slot)
            if (slots_[slot].record != nullptr)
                visit(denseSlots_ != 0 ? static_cast<std::uint32_t>(slot) : sparseIds_[slot],
                      items::RecordRef{slots_[slot].record, slots_[slot].size});
    }
    // True when the records are indexed directly by ID (else by a sorted ID index).
    bool IsDense() const { return denseSlots_ != 0; }

    // The flavours a text is handed out in; each has its ready bit in a slot.
    enum class TextState : std::uint32_t { NarrowReady = 1, WideReady = 2 };

    // The text of `id` as the getters hand it out: carriage returns blanked, a terminator
    // inside memory the table owns, wide text on an even address. Null without a record.
    std::uint8_t *NarrowText(std::uint32_t id) { return Text(id, TextState::NarrowReady); }
    std::uint8_t *WideText(std::uint32_t id) { return Text(id, TextState::WideReady); }

    // The getters' fast path, one slot read: the text of `id` when it has been handed out
    // in that flavour before and the table is dense there, else null.
    std::uint8_t *ReadyText(std::uint32_t id, TextState state) const {
        if (id >= denseSlots_)
            return nullptr;
        TableSlot const &slot = slots_[id];
        return (slot.prepared & static_cast<std::uint32_t>(state)) != 0
                   ? slot.record + (slot.prepared >> kTextOffsetShift)
                   : nullptr;
    }
    // The same for the record: true when `id` lies in the dense table, with `record` set to
    // its record (null for none).
    bool DenseRecord(std::uint32_t id, std::uint8_t *&record) const {
        if (id >= denseSlots_)
            return false;
        record = slots_[id].record;
        return true;
    }

  private:
    class Loader;
    // Takes over a whole file's bytes as the loaded table once `loader` has parsed the rest
    // of them: S_OK, or E_FAIL with the table unloaded.
    core::HResult Adopt(platform::FileContent &file, Loader &loader);
    static constexpr unsigned kTextOffsetShift = 2;

    // Everything a lookup of one ID needs, in one place: the record, its size, and once a
    // flavour has been handed out, its ready bit and the offset of the text in the record.
    struct TableSlot {
        std::uint8_t *record;
        std::uint32_t size;
        std::uint32_t prepared; // text offset << kTextOffsetShift | TextState bits
    };

    // The slot of `id` when it holds a record: the ID itself indexes a dense table, its rank
    // in the sparse index a sparse one.
    TableSlot const *Find(std::uint32_t id) const {
        TableSlot const *slot = id < denseSlots_ ? &slots_[id] : SparseFind(id);
        return slot != nullptr && slot->record != nullptr ? slot : nullptr;
    }
    TableSlot *Find(std::uint32_t id) {
        return const_cast<TableSlot *>(static_cast<CBinMaster const *>(this)->Find(id));
    }
    TableSlot const *SparseFind(std::uint32_t id) const;

    std::uint8_t *Text(std::uint32_t id, TextState state) {
        std::uint8_t *text = ReadyText(id, state);
        return text != nullptr ? text : PrepareText(id, state);
    }
    // Blanks the carriage returns of a text's first get in its flavour and marks it ready.
    std::uint8_t *PrepareText(std::uint32_t id, TextState state);
    // Moves the record of a slot into a copy of its own, zero-padded, with its text on an
    // even address.
    items::RecordRef CopyRecord(TableSlot &slot, std::uint8_t const *bytes, std::size_t available);

    std::uint32_t loaded_ = 0;
    core::ZeroedArray<char> holder_;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = 0;
    // Slots: indexed by ID below denseSlots_ (the capacity of a dense table, else 0), or by
    // the rank of the ID in sparseIds_, which holds the stored IDs in ascending order.
    std::uint32_t denseSlots_ = 0;
    core::ZeroedArray<std::uint32_t> sparseIds_;
    core::ZeroedArray<TableSlot> slots_;
    // The file's bytes, which most slots point into, and the records that had to move out.
    platform::Bytes file_;
    std::vector<std::unique_ptr<std::uint8_t[]>> copies_;
    char path_[core::kPathSize] = {};
};

} // namespace ril::table
