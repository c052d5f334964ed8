// Reading a BIN into the item list, entry by entry, for the export and header tools.
#include "table/bin_list_reader.h"

#include "core/error_report.h"
#include "core/le_reader.h"
#include "core/limits.h"
#include "core/messages.h"
#include "platform/file.h"
#include "table/bin_limits.h"

#include <new>
#include <string>

namespace ril {

int LoadBin(CRilTxtLoader &list, const char *path) {
    // Read, not mapped: on Windows a mapping would lock the file for as long as the list
    // lives, and the caller may be about to replace it.
    platform::FileContent file;
    if (platform::ReadWholeFile(path, file) != platform::ReadStatus::Ok) {
        ErrorBox(msg::kCannotOpen, path);
        return 0;
    }
    // Whole records stay in the file's buffer, which the list keeps from here on.
    std::uint8_t *bytes = file.bytes.get();
    const std::size_t fileSize = file.size;
    list.Keep(std::move(file));

    // Stream rules at end of file: a field that cannot be read whole keeps its preset.
    LeReader reader(bytes, fileSize);
    std::uint32_t flag = 1;
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;
    reader.ReadU32(flag);
    if (flag > 1)
        return 1;
    reader.ReadU32(maxId);
    reader.ReadU32(count);
    const std::uint32_t bound = maxId + 10u;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t id = kNoId;
        std::uint32_t size = 0;
        reader.ReadU32(id);
        if (id < bound)
            reader.ReadU32(size);
        std::uint8_t *record = bytes + reader.Position();
        std::size_t available = reader.Skip(size);
        CRilTxtLoader::ItemHandle item;
        if (id < bound && size > 0 && !MissingPartTooLarge(size, available))
            item = list.NewItem();
        // Only a record cut short by the end of the file is copied (and padded with zeros).
        if (item && available == size)
            item->BorrowRecord(record, size);
        else if (!item || item->SetRecord(record, available, size) != kSOk) {
            ErrorBox(msg::kReadEntryFailed, id);
            return 0;
        }
        item->ID = id;
        list.Append(std::move(item));
    }
    return 1;
}

HResult LoadToolSource(CRilTxtLoader &list, const BinTarget &source) {
    if (source.path == nullptr) {
        ErrorBox("%s", msg::kNoBinNoTable);
        return kErrArgument;
    }
    if (source.refused) {
        ErrorBox("%s", msg::kLoadedBinBeingEdited);
        return kErrBinRead;
    }
    return LoadBin(list, source.path) ? kSOk : kErrBinRead;
}

} // namespace ril
