// CBinMaster: the loaded string table. One BIN read whole into memory, every item record
// kept in a slot indexed directly by its ID.
#pragma once

#include "table/item_record.h"
#include "util/result_codes.h"
#include "util/zeroed_array.h"

#include <cstdint>

namespace ril {

constexpr std::size_t kPathSize = 520; // stored paths: 519 characters and a terminator

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

    bool IsLoaded() const { return loaded_ != 0; }
    const char *Path() const { return path_; }
    std::uint32_t MaxId() const { return maxId_; }
    std::uint32_t Count() const { return count_; }
    std::uint32_t Capacity() const { return capacity_; }
    // The holder text of the loaded file, or null when it has holder flag 0.
    const char *HolderText() const { return holder_.Get(); }

    // The record stored for `id`, or an empty reference.
    RecordRef Record(std::uint32_t id) const {
        if (!items_ || id >= capacity_ || items_[id] == nullptr)
            return RecordRef{};
        return RecordRef{items_[id], sizes_[id]};
    }
    // The size slot of `id`: 0 without a record or a table.
    std::uint32_t RecordSize(std::uint32_t id) const {
        return sizes_ && id < capacity_ ? sizes_[id] : 0;
    }

  private:
    class Loader;

    std::uint32_t loaded_ = 0;
    ZeroedArray<char> holder_;
    std::uint32_t maxId_ = 0;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = 0;
    ZeroedArray<std::uint8_t *> items_;
    ZeroedArray<std::uint32_t> sizes_;
    // One block holding every record, each followed by its padding; the slots point into it.
    ZeroedArray<std::uint8_t> records_;
    char path_[kPathSize] = {};
};

} // namespace ril
