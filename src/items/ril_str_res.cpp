// Items of the item list: macro conversion and record building.
#include "items/ril_str_res.h"

#include "core/allocate.h"
#include "items/item_record.h"
#include "items/record_builder.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace ril {
namespace {

// Most macros are ASCII, which every supported ANSI code page spells the same way.
bool IsAscii(char const *text) {
    for (; *text != '\0'; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    return true;
}

bool IsAscii(std::uint16_t const *text) {
    for (; *text != 0; ++text)
        if (*text >= 0x80)
            return false;
    return true;
}

// How many bytes `units` wide characters of `text` need in the ANSI code page (no terminator).
int NarrowLength(std::uint16_t const *text, int units) {
    return units == 0 ? 0 : platform::WideToMultiByte(0, text, units, nullptr, 0).count;
}

} // namespace

void CppMacro::Reset() {
    ID = 0;
    std::memset(Macro, 0, sizeof Macro);
    std::memset(MacroW, 0, sizeof MacroW);
}

void CppMacro::WidenMacro() {
    if (IsAscii(Macro)) {
        std::size_t i = 0;
        for (; Macro[i] != '\0'; ++i)
            MacroW[i] = static_cast<unsigned char>(Macro[i]);
        MacroW[i] = 0;
        return;
    }
    // A byte never yields more than one UTF-16 unit, so the field always has room; the
    // terminator is converted with the rest.
    if (platform::MultiByteToWide(0, Macro, -1, MacroW, static_cast<int>(kMacroField)).count == 0)
        MacroW[0] = 0;
}

void CppMacro::NarrowMacro() {
    if (IsAscii(MacroW)) {
        std::size_t i = 0;
        for (; MacroW[i] != 0; ++i)
            Macro[i] = static_cast<char>(MacroW[i]);
        Macro[i] = '\0';
        return;
    }
    int units = 0;
    while (units < static_cast<int>(kMacroField) - 1 && MacroW[units] != 0)
        ++units;
    // Keep the longest prefix of whole characters that fits 127 bytes.
    while (units > 0 && NarrowLength(MacroW, units) > static_cast<int>(kMacroField) - 1) {
        --units;
        if (units > 0 && MacroW[units] >= 0xDC00 && MacroW[units] < 0xE000 &&
            MacroW[units - 1] >= 0xD800 && MacroW[units - 1] < 0xDC00)
            --units;
    }
    int bytes = units == 0 ? 0
                           : platform::WideToMultiByte(0, MacroW, units, Macro,
                                                       static_cast<int>(kMacroField) - 1)
                                 .count;
    Macro[bytes] = '\0';
    // Both forms name the same macro: the wide one loses what the cut dropped.
    MacroW[units] = 0;
}

void RilStrRes::Reset() {
    CppMacro::Reset();
    RecordSize = 0;
    Record.reset();
    SourceOffset = -1;
}

// A record block whose bytes from `filled` on are zero (the padding included); the caller
// writes the bytes before it. Null when memory runs out.
RilStrRes::RecordBlock RilStrRes::AllocateRecord(std::size_t size, std::size_t filled) const {
    if (size > SIZE_MAX - kRecordPadding)
        return nullptr;
    const std::size_t total = size + kRecordPadding;
    if (arena_ != nullptr) { // the arena owns the block
        return TryAllocate([&] {
            return RecordBlock(static_cast<std::uint8_t *>(arena_->AllocateZeroTail(total, filled)),
                               RecordRelease{});
        });
    }
    return RecordBlock(AllocateZeroed<std::uint8_t>(total).release(), RecordRelease{true});
}

HResult RilStrRes::BuildRecord(void const *text, std::size_t textBytes,
                               std::size_t terminatorBytes) {
    Record.reset();
    RecordSize = 0;
    std::optional<RecordLayout> layout = PlanRecord(Macro, textBytes, terminatorBytes);
    if (!layout)
        return kEOutOfMemory;
    RecordBlock record = AllocateRecord(layout->size, layout->size);
    if (!record)
        return kEOutOfMemory;
    FillRecord(std::span<std::uint8_t>(record.get(), layout->size), *layout, Macro, text);
    Record = std::move(record);
    RecordSize = static_cast<std::uint32_t>(layout->size);
    return kSOk;
}

HResult RilStrRes::SetTextA(void const *text, std::size_t length) {
    return BuildRecord(text, length, 1);
}

HResult RilStrRes::SetTextW(void const *text, std::size_t length) {
    if (length > SIZE_MAX / 2)
        return kEOutOfMemory;
    return BuildRecord(text, length * 2, 2);
}

HResult RilStrRes::SetRecord(std::uint8_t const *record, std::uint32_t size) {
    return SetRecord(record, size, size);
}

HResult RilStrRes::SetRecord(std::uint8_t const *record, std::size_t available,
                             std::uint32_t size) {
    Record.reset();
    RecordSize = 0;
    if (available > size)
        available = size;
    RecordBlock copy = AllocateRecord(size, available);
    if (!copy)
        return kEOutOfMemory;
    if (available > 0)
        std::memcpy(copy.get(), record, available);
    Record = std::move(copy);
    RecordSize = size;
    MacroFromRecord();
    return kSOk;
}

void RilStrRes::BorrowRecord(std::uint8_t *record, std::uint32_t size) {
    Record = RecordBlock(record, RecordRelease{});
    RecordSize = size;
    MacroFromRecord();
}

void RilStrRes::MacroFromRecord() {
    RecordRef view{Record.get(), RecordSize};
    std::size_t macroBytes = std::min<std::size_t>(view.MacroLength(), kMacroField - 1);
    std::memcpy(Macro, view.Macro(), macroBytes);
    Macro[macroBytes] = '\0';
    WidenMacro();
}

} // namespace ril
