// Writing the item list as a BIN. The file is replaced whole or not at all; when it is the
// loaded table's file, the table is unloaded once the new file is in place.
#include "api/library_state.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "items/ril_txt_loader.h"
#include "platform/file_replacer.h"
#include "table/bin_format.h"

#include <cstring>
#include <string>

namespace ril {
namespace {

constexpr std::size_t kComparedPathSize = 260;

// Two paths name the loaded file when their first 259 characters match, ignoring the case
// of ASCII letters.
bool SameLoadedPath(const char *loadedPath, const char *binPath) {
    char a[kComparedPathSize];
    char b[kComparedPathSize];
    SafeCopyA(a, sizeof a, loadedPath);
    SafeCopyA(b, sizeof b, binPath);
    for (char *p : {a, b})
        for (; *p != '\0'; ++p)
            if (*p >= 'a' && *p <= 'z')
                *p = static_cast<char>(*p - 'a' + 'A');
    return std::strcmp(a, b) == 0;
}

// Writes the items that have a record, in list order.
void WriteItems(FileReplacer &out, const CRilTxtLoader::Items &items) {
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;
    for (const auto &item : items) {
        if (!item->Record)
            continue;
        maxId = item->ID > maxId ? item->ID : maxId;
        ++count;
    }
    WriteBinHead(out, maxId, count);
    for (const auto &item : items)
        if (item->Record)
            WriteBinEntry(out, BinEntry{item->ID, item->Record.get(), item->RecordSize});
    WriteBinTail(out, CurrentHolderText());
}

} // namespace

int CRilTxtLoader::SaveBin(const char *binPath, const char *logPath) {
    CBinMaster &table = State().table;
    std::string target;
    bool targetIsLoaded = false;
    if (binPath != nullptr) {
        target = binPath;
        targetIsLoaded = table.IsLoaded() && SameLoadedPath(table.Path(), binPath);
    } else if (table.IsLoaded()) {
        target = table.Path();
        targetIsLoaded = true;
    } else {
        LogError(logPath, "%s", msg::kNoBinNoTable);
        return 0;
    }
    if (targetIsLoaded && EditingSessionOpen()) {
        LogError(logPath, "%s", msg::kLoadedBinBeingEdited);
        return 0;
    }
    if (target.empty())
        return 0;

    FileReplacer file(target.c_str());
    ReplaceStatus status = ReplaceStatus::CannotOpen;
    if (file.IsOpen()) {
        WriteItems(file, items_);
        status = file.Commit();
    }
    switch (status) {
    case ReplaceStatus::CannotOpen:
        LogError(logPath, msg::kCannotOpenForUpdate, target.c_str());
        return 0;
    case ReplaceStatus::WriteFailed:
        LogError(logPath, msg::kCannotWriteBin, target.c_str());
        return 0;
    case ReplaceStatus::Ok:
        break;
    }
    // The loaded records are stale now; Ril_ReLoadRes reads the new file.
    if (targetIsLoaded)
        table.UnloadRes();
    return 1;
}

} // namespace ril
