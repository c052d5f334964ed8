// Reading a BIN into the item list, entry by entry, for the export tool; reading a BIN whole
// for the tools that walk its entries themselves.
#include "table/bin_list_reader.h"

#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"

#include <cstring>
#include <new>
#include <string>

namespace ril::table {

int ShowReadStatus(char const *path, platform::ReadStatus status, int systemError) {
    if (status == platform::ReadStatus::Ok)
        return 1;
    core::ErrorBox(core::catalogue::kCannotOpen,
                   core::NoticeSite{.file = path, .systemError = systemError}, path);
    return 0;
}

int ReadBinFile(char const *path, platform::FileContent &file) {
    // Read, not mapped: on Windows a mapping would lock the file for as long as it is in use,
    // and the caller may be about to replace it.
    int error = 0;
    const platform::ReadStatus status = platform::ReadWholeFile(path, file, nullptr, &error);
    return ShowReadStatus(path, status, error);
}

std::span<std::uint8_t> PartWindow::Room(std::size_t consumed) {
    // Parts small enough to stay in the second-level cache while they are walked; at least a
    // quarter of the window is read at a time.
    constexpr std::size_t kWindow = std::size_t{256} << 10;
    if (consumed > 0)
        std::memmove(bytes_.get(), bytes_.get() + consumed, filled_ - consumed);
    filled_ -= consumed;
    if (capacity_ - filled_ < kWindow / 4) {
        const std::size_t capacity = capacity_ == 0 ? kWindow : capacity_ * 2;
        std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[capacity]);
        if (!bytes)
            return {};
        if (filled_ > 0)
            std::memcpy(bytes.get(), bytes_.get(), filled_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }
    return std::span<std::uint8_t>(bytes_.get() + filled_, capacity_ - filled_);
}

int LoadBin(items::CRilTxtLoader &list, char const *path) {
    platform::FileContent file;
    if (!ReadBinFile(path, file))
        return 0;
    // Whole records stay in the file's buffer, which the list keeps from here on.
    std::uint8_t *bytes = file.bytes.get();
    const std::size_t fileSize = file.size;
    list.Keep(std::move(file));
    auto const append = [&](BinEntryView const &entry) {
        items::CRilTxtLoader::ItemHandle item = list.NewItem();
        if (!item)
            return false;
        // Only a record cut short by the end of the file is copied (and padded with zeros).
        std::uint8_t *record = bytes + entry.offset;
        core::HResult stored = entry.available == entry.size
                                   ? item->BorrowRecord(record, entry.size)
                                   : item->SetRecord(record, entry.available, entry.size);
        if (stored != core::kSOk)
            return false;
        item->ID = entry.id;
        list.Append(std::move(item));
        return true;
    };
    std::uint32_t failedId = 0;
    if (!ForEachBinEntry(bytes, fileSize, append, failedId)) {
        core::ErrorBox(core::catalogue::kReadEntryFailed, core::NoticeSite{.file = path}, failedId);
        return 0;
    }
    return 1;
}

core::HResult CheckToolSource(BinTarget const &source) {
    if (source.path == nullptr) {
        core::ErrorBox(core::catalogue::kNoBinNoTable, core::NoticeSite{});
        return core::kErrArgument;
    }
    if (source.refused) {
        core::ErrorBox(core::catalogue::kLoadedBinBeingEdited,
                       core::NoticeSite{.file = source.path});
        return core::kErrBinRead;
    }
    return core::kSOk;
}

core::HResult LoadToolSource(items::CRilTxtLoader &list, BinTarget const &source) {
    core::HResult checked = CheckToolSource(source);
    if (checked != core::kSOk)
        return checked;
    return LoadBin(list, source.path) ? core::kSOk : core::kErrBinRead;
}

} // namespace ril::table
