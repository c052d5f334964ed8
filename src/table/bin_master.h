// CBinMaster: the loaded string table. One BIN read whole into memory, every item record
// kept in a slot indexed directly by its ID.
#pragma once

#include "platform/memory.h"
#include "table/item_record.h"
#include "util/result_codes.h"
#include "util/zeroed_array.h"

#include <cstdint>
#include <memory>
#include <vector>

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
    // Saves the table as a BIN and unloads it: S_OK, E_FAIL (nothing loaded, or the file
    // cannot be written; the table stays) or E_OUTOFMEMORY.
    HResult ExportResToBinFile(const char *path);

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

    // The text of `id` as the getters hand it out: carriage returns blanked, a terminator
    // inside memory the table owns, wide text on an even address. Null without a record.
    std::uint8_t *NarrowText(std::uint32_t id);
    std::uint8_t *WideText(std::uint32_t id);

  private:
    class Loader;
    enum TextState : std::uint8_t { kNarrowReady = 1, kWideReady = 2 };

    std::uint8_t *PreparedText(std::uint32_t id, TextState state,
                               bool (*prepare)(std::uint8_t *, std::size_t));
    // Moves a record into a copy of its own, zero-padded, with its text on an even address.
    RecordRef CopyRecord(std::uint32_t id, const std::uint8_t *bytes, std::size_t available);

    std::uint32_t loaded_ = 0;
    ZeroedArray<char> holder_;
    std::uint32_t maxId_ = 0;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = 0;
    ZeroedArray<std::uint8_t *> items_;
    ZeroedArray<std::uint32_t> sizes_;
    ZeroedArray<std::uint8_t> states_; // TextState bits per slot
    // The file's bytes, which most slots point into, and the records that had to move out.
    platform::Bytes file_;
    std::vector<std::unique_ptr<std::uint8_t[]>> copies_;
    char path_[kPathSize] = {};
};

} // namespace ril
