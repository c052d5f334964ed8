// Saving the loaded table as a BIN: its records in ascending ID order with a fresh holder
// marker. The file is replaced whole; the table is unloaded once the file is in place.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "platform/file_replacer.h"
#include "table/bin_format.h"

#include <new>

namespace ril {
namespace {

// IDs from here on are requests for new IDs in text files and are never saved.
constexpr std::uint32_t kSavedIdLimit = 0x2FFFF;

} // namespace

HResult CBinMaster::ExportResToBinFile(const char *path) {
    if (loaded_ == 0 || path == nullptr)
        return kEFail;
    std::vector<BinEntry> entries;
    try {
        // Dense slots are the IDs themselves; sparse slots are in ascending ID order.
        std::uint32_t limit = denseSlots_ < kSavedIdLimit ? denseSlots_ : kSavedIdLimit;
        for (std::uint32_t id = 0; id < limit; ++id)
            if (items_[id] != nullptr)
                entries.push_back(BinEntry{id, items_[id], sizes_[id]});
        for (std::size_t slot = 0; slot < sparseIds_.Size() && sparseIds_[slot] < kSavedIdLimit;
             ++slot)
            entries.push_back(BinEntry{sparseIds_[slot], items_[slot], sizes_[slot]});
    } catch (const std::bad_alloc &) {
        return kEOutOfMemory;
    }
    FileReplacer file(path);
    if (!file.IsOpen())
        return kEFail;
    WriteBinImage(file, entries, CurrentHolderText());
    if (file.Commit() != ReplaceStatus::Ok)
        return kEFail;
    UnloadRes();
    return kSOk;
}

} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_ExportResToBinFile(char const *path) {
    return Guarded<RIL_LONG>(kEFail, [&] { return State().table.ExportResToBinFile(path); });
}
