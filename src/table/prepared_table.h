// PreparedTable: one BIN opened for lookups from any thread. Every text is prepared in both
// flavours when the table is opened (carriage returns as blanks, a terminator inside memory
// the table owns, wide text on an even address), so the table never changes afterwards.
#pragma once

#include "core/result_codes.h"
#include "core/zeroed_array.h"
#include "platform/file.h"
#include "table/bin_master.h"

#include <cstddef>
#include <cstdint>
#include <memory_resource>

namespace ril::table {

// Why an open failed.
enum class TableOpenFailure {
    None,
    CannotOpen, // the file cannot be opened (systemError says why)
    NoMemory,
    ReadFailed, // the file cannot be read whole (systemError says why)
    NotABin,    // the bytes are no BIN that the loaded table accepts
};

class PreparedTable {
  public:
    PreparedTable() = default;
    PreparedTable(PreparedTable const &) = delete;
    PreparedTable &operator=(PreparedTable const &) = delete;

    // Opens the BIN at `path`, or an image of `size` bytes (copied): S_OK, or E_FAIL with
    // `failure` (and for a file `systemError`) saying why. A table opens once.
    core::HResult Open(char const *path, TableOpenFailure &failure, int &systemError);
    core::HResult OpenImage(void const *bytes, std::size_t size, TableOpenFailure &failure);

    // The text the narrow or wide getter hands out for `id`, or null without a record.
    char const *NarrowText(std::uint32_t id) const {
        return id < denseSlots_ ? narrow_[id] : SparseText(narrow_, id);
    }
    std::uint16_t const *WideText(std::uint32_t id) const {
        return id < denseSlots_ ? wide_[id] : SparseText(wide_, id);
    }
    // The lookups' short path: the same for an ID of a dense table, else null.
    char const *DenseNarrowText(std::uint32_t id) const {
        return id < denseSlots_ ? narrow_[id] : nullptr;
    }
    std::uint16_t const *DenseWideText(std::uint32_t id) const {
        return id < denseSlots_ ? wide_[id] : nullptr;
    }
    // The text of `id` in the sorted index of a sparse table, or null.
    char const *SparseNarrowText(std::uint32_t id) const { return SparseText(narrow_, id); }
    std::uint16_t const *SparseWideText(std::uint32_t id) const { return SparseText(wide_, id); }
    bool IsSparse() const { return sparseCount_ != 0; }
    // The record of `id` as stored, or null.
    void const *Record(std::uint32_t id) const { return records_.Record(id).data; }
    // The count of the file as its header declares it.
    std::uint32_t Count() const { return records_.Count(); }

  private:
    core::HResult Prepare(TableOpenFailure &failure);
    bool PrepareRecord(std::size_t slot, items::RecordRef const &record);
    template <typename Char>
    Char const *SparseText(core::ZeroedArray<Char const *> const &texts, std::uint32_t id) const;

    // What the lookups read first, together at the start of the object.
    std::uint32_t denseSlots_ = 0;
    core::ZeroedArray<char const *> narrow_;        // by ID below denseSlots_, else by rank in ids_
    core::ZeroedArray<std::uint16_t const *> wide_; // likewise
    core::ZeroedArray<std::uint32_t> ids_;          // a sparse table's IDs, ascending
    std::size_t sparseCount_ = 0;
    CBinMaster records_; // the file's bytes and records; only read once opened
    std::pmr::monotonic_buffer_resource copies_; // texts that cannot be handed out in place
};

} // namespace ril::table
