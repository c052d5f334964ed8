// PreparedTable: opening a BIN through the loaded table's reader, then preparing the texts of
// every record in both flavours. A text that ends inside its record, holds no carriage return
// and (wide) starts on an even address is handed out in place; any other gets a copy of its
// own, blanked and zero-padded, so the file's bytes are never written.
#include "table/prepared_table.h"

#include "core/allocate.h"
#include "items/record_text.h"

#include <algorithm>
#include <cstring>

namespace ril::table {
namespace {

// True when the narrow getter can hand the text out in place.
bool NarrowInPlace(std::uint8_t const *text, std::size_t available) {
    auto const *end = static_cast<std::uint8_t const *>(std::memchr(text, 0, available));
    return end != nullptr &&
           std::memchr(text, '\r', static_cast<std::size_t>(end - text)) == nullptr;
}

// True when the wide getter can hand the text out in place.
bool WideInPlace(std::uint8_t const *text, std::size_t available) {
    if ((reinterpret_cast<std::uintptr_t>(text) & 1) != 0)
        return false;
    for (std::size_t i = 0; i + 1 < available; i += 2) {
        if (text[i + 1] != 0)
            continue;
        if (text[i] == 0)
            return true;
        if (text[i] == '\r')
            return false;
    }
    return false;
}

} // namespace

core::HResult PreparedTable::Open(char const *path, TableOpenFailure &failure, int &systemError) {
    failure = TableOpenFailure::None;
    systemError = 0;
    platform::FileContent content;
    switch (platform::ReadWholeFile(path, content, nullptr, &systemError)) {
    case platform::ReadStatus::Ok:
        break;
    case platform::ReadStatus::CannotOpen:
        failure = TableOpenFailure::CannotOpen;
        return core::kEFail;
    case platform::ReadStatus::NoMemory:
        failure = TableOpenFailure::NoMemory;
        return core::kEFail;
    case platform::ReadStatus::ReadFailed:
        failure = TableOpenFailure::ReadFailed;
        return core::kEFail;
    }
    if (records_.LoadContent(content) != core::kSOk) {
        failure = TableOpenFailure::NotABin;
        return core::kEFail;
    }
    return Prepare(failure);
}

core::HResult PreparedTable::OpenImage(void const *bytes, std::size_t size,
                                       TableOpenFailure &failure) {
    failure = TableOpenFailure::None;
    if (records_.LoadImage(bytes, size) != core::kSOk) {
        failure = TableOpenFailure::NotABin;
        return core::kEFail;
    }
    return Prepare(failure);
}

core::HResult PreparedTable::Prepare(TableOpenFailure &failure) {
    std::size_t const slots = records_.SlotCount();
    bool ok = slots == 0 || (narrow_.Allocate(slots) && wide_.Allocate(slots));
    if (ok && slots > 0 && !records_.IsDense())
        ok = ids_.Allocate(slots);
    std::size_t rank = 0;
    records_.ForEachRecord([&](std::uint32_t id, items::RecordRef const &record) {
        if (!ok)
            return;
        std::size_t slot = ids_ ? rank : id;
        if (ids_)
            ids_[rank++] = id;
        ok = PrepareRecord(slot, record);
    });
    if (!ok) {
        failure = TableOpenFailure::NoMemory;
        return core::kEFail;
    }
    // The sparse index holds as many IDs as records were found.
    if (records_.IsDense())
        denseSlots_ = static_cast<std::uint32_t>(slots);
    else
        sparseCount_ = rank;
    return core::kSOk;
}

bool PreparedTable::PrepareRecord(std::size_t slot, items::RecordRef const &record) {
    std::uint8_t *text = record.Text();
    std::size_t const available = static_cast<std::size_t>(record.data + record.size - text);
    // A copy holds the text's bytes and zero padding, which ends the text in either flavour.
    auto copy = [&](bool (*blank)(std::uint8_t *, std::size_t)) -> std::uint8_t * {
        return core::TryAllocate([&] {
            auto *bytes = static_cast<std::uint8_t *>(
                copies_.allocate(available + items::kRecordPadding, alignof(std::uint16_t)));
            if (available > 0)
                std::memcpy(bytes, text, available);
            std::memset(bytes + available, 0, items::kRecordPadding);
            blank(bytes, available + items::kRecordPadding);
            return bytes;
        });
    };
    std::uint8_t const *narrow =
        NarrowInPlace(text, available) ? text : copy(&items::BlankCarriageReturnsA);
    std::uint8_t const *wide =
        WideInPlace(text, available) ? text : copy(&items::BlankCarriageReturnsW);
    narrow_[slot] = reinterpret_cast<char const *>(narrow);
    wide_[slot] = reinterpret_cast<std::uint16_t const *>(wide);
    return narrow != nullptr && wide != nullptr;
}

template <typename Char>
Char const *PreparedTable::SparseText(core::ZeroedArray<Char const *> const &texts,
                                      std::uint32_t id) const {
    std::uint32_t const *begin = ids_.Get();
    std::uint32_t const *end = begin + sparseCount_;
    std::uint32_t const *found = std::lower_bound(begin, end, id);
    return found != end && *found == id ? texts[static_cast<std::size_t>(found - begin)] : nullptr;
}

template char const *PreparedTable::SparseText(core::ZeroedArray<char const *> const &,
                                               std::uint32_t) const;
template std::uint16_t const *
PreparedTable::SparseText(core::ZeroedArray<std::uint16_t const *> const &, std::uint32_t) const;

} // namespace ril::table
