// Saving the loaded table as a BIN: its records in ascending ID order with a fresh holder
// marker. The file is replaced whole; the table is unloaded once the file is in place. A file
// that cannot be written is reported with the system's reason.
#include "core/allocate.h"
#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"
#include "core/write_settings.h"
#include "platform/file_replacer.h"
#include "table/bin_format.h"
#include "table/bin_master.h"

namespace ril::table {
core::HResult CBinMaster::ExportResToBinFile(char const *path) {
    if (loaded_ == 0 || path == nullptr)
        return core::kEFail;
    std::vector<BinEntry> entries;
    bool collected = core::TryAllocate([&] {
        // Dense slots are the IDs themselves; sparse slots are in ascending ID order. IDs from
        // the new-ID threshold on are requests for new IDs in text files and are never saved.
        std::uint32_t limit =
            denseSlots_ < core::kNewIdThreshold ? denseSlots_ : core::kNewIdThreshold;
        for (std::uint32_t id = 0; id < limit; ++id)
            if (slots_[id].record != nullptr)
                entries.push_back(BinEntry{id, slots_[id].record, slots_[id].size});
        for (std::size_t slot = 0;
             slot < sparseIds_.Size() && sparseIds_[slot] < core::kNewIdThreshold; ++slot)
            entries.push_back(BinEntry{sparseIds_[slot], slots_[slot].record, slots_[slot].size});
        return true;
    });
    if (!collected)
        return core::kEOutOfMemory;
    platform::FileReplacer file(path, core::CurrentWriteSettings().replace);
    if (!file.IsOpen()) {
        core::ErrorBox(core::catalogue::kCannotOpenForUpdate,
                       core::NoticeSite{.file = path, .systemError = file.SystemError()}, path);
        return core::kEFail;
    }
    WriteBinImage(file, entries, CurrentHolderText());
    if (file.Commit() != platform::ReplaceStatus::Ok) {
        core::ErrorBox(core::catalogue::kCannotWriteBin,
                       core::NoticeSite{.file = path, .systemError = file.SystemError()}, path);
        return core::kEFail;
    }
    UnloadRes();
    return core::kSOk;
}

} // namespace ril::table
