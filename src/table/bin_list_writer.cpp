// Writing the item list as a BIN. The file is replaced whole or not at all; when it is the
// loaded table's file, the table is unloaded once the new file is in place.
#include "table/bin_list_writer.h"

#include "core/error_report.h"
#include "core/messages.h"
#include "core/write_settings.h"
#include "platform/file_replacer.h"
#include "table/bin_format.h"
#include "table/bin_master.h"

namespace ril::table {
namespace {

// Writes the items that have a record, in list order.
void WriteItems(platform::FileReplacer &out, items::CRilTxtLoader::Items const &items) {
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;
    for (auto const &item : items) {
        if (!item->Record)
            continue;
        maxId = item->ID > maxId ? item->ID : maxId;
        ++count;
    }
    WriteBinHead(out, maxId, count);
    for (auto const &item : items)
        if (item->Record)
            WriteBinEntry(out, BinEntry{item->ID, item->Record.get(), item->RecordSize});
    WriteBinTail(out, CurrentHolderText());
}

} // namespace

int SaveBin(items::CRilTxtLoader const &list, BinTarget const &target, char const *logPath) {
    if (target.path == nullptr) {
        core::LogError(logPath, core::catalogue::kNoBinNoTable, core::NoticeSite{});
        return 0;
    }
    const core::NoticeSite site{.file = target.path};
    if (target.refused) {
        core::LogError(logPath, core::catalogue::kLoadedBinBeingEdited, site);
        return 0;
    }
    if (target.path[0] == '\0')
        return 0;

    platform::FileReplacer file(target.path, core::CurrentWriteSettings().replace);
    platform::ReplaceStatus status = platform::ReplaceStatus::CannotOpen;
    if (file.IsOpen()) {
        WriteItems(file, list.List());
        status = file.Commit();
    }
    const core::NoticeSite failure{.file = target.path, .systemError = file.SystemError()};
    switch (status) {
    case platform::ReplaceStatus::CannotOpen:
        core::LogError(logPath, core::catalogue::kCannotOpenForUpdate, failure, target.path);
        return 0;
    case platform::ReplaceStatus::WriteFailed:
        core::LogError(logPath, core::catalogue::kCannotWriteBin, failure, target.path);
        return 0;
    case platform::ReplaceStatus::Ok:
        break;
    }
    // The loaded records are stale now; Ril_ReLoadRes reads the new file.
    if (target.loadedTable != nullptr)
        target.loadedTable->UnloadRes();
    return 1;
}

} // namespace ril::table
