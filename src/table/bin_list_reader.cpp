// Reading a BIN into the item list, entry by entry, for the export and header tools.
#include "table/bin_list_reader.h"

#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"
#include "platform/file.h"
#include "table/bin_format.h"

#include <new>
#include <string>

namespace ril {

int LoadBin(CRilTxtLoader &list, char const *path) {
    // Read, not mapped: on Windows a mapping would lock the file for as long as the list
    // lives, and the caller may be about to replace it.
    platform::FileContent file;
    int error = 0;
    if (platform::ReadWholeFile(path, file, nullptr, &error) != platform::ReadStatus::Ok) {
        ErrorBox(catalogue::kCannotOpen, NoticeSite{.file = path, .systemError = error}, path);
        return 0;
    }
    // Whole records stay in the file's buffer, which the list keeps from here on.
    std::uint8_t *bytes = file.bytes.get();
    const std::size_t fileSize = file.size;
    list.Keep(std::move(file));

    ByteReader reader(bytes, fileSize);
    BinHeader header;
    ReadBinHeader(reader, header);
    if (header.flag > kHolderFlagPresent)
        return 1;
    for (std::uint32_t i = 0; i < header.count; ++i) {
        BinEntryView entry;
        CRilTxtLoader::ItemHandle item;
        if (ReadBinEntry(reader, header.IdBound(), entry) && entry.size > 0)
            item = list.NewItem();
        // Only a record cut short by the end of the file is copied (and padded with zeros).
        std::uint8_t *record = bytes + entry.offset;
        HResult stored = kEOutOfMemory;
        if (item)
            stored = entry.available == entry.size
                         ? item->BorrowRecord(record, entry.size)
                         : item->SetRecord(record, entry.available, entry.size);
        if (stored != kSOk) {
            ErrorBox(catalogue::kReadEntryFailed, NoticeSite{.file = path}, entry.id);
            return 0;
        }
        item->ID = entry.id;
        list.Append(std::move(item));
    }
    return 1;
}

HResult LoadToolSource(CRilTxtLoader &list, BinTarget const &source) {
    if (source.path == nullptr) {
        ErrorBox(catalogue::kNoBinNoTable, NoticeSite{});
        return kErrArgument;
    }
    if (source.refused) {
        ErrorBox(catalogue::kLoadedBinBeingEdited, NoticeSite{.file = source.path});
        return kErrBinRead;
    }
    return LoadBin(list, source.path) ? kSOk : kErrBinRead;
}

} // namespace ril
