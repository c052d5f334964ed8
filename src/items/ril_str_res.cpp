// Items of the item list: macro conversion and record building.
#include "items/ril_str_res.h"

#include "core/allocate.h"
#include "items/item_record.h"
#include "items/record_builder.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace ril::items {
namespace {

// Most macros are ASCII, which every supported ANSI code page spells the same way.
bool IsAscii(std::uint16_t const *units, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (units[i] >= 0x80)
            return false;
    return true;
}

bool IsAscii(char const *text) {
    for (; *text != '\0'; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    return true;
}

// How many bytes `units` wide characters of `text` need in the ANSI code page (no terminator).
int NarrowLength(std::uint16_t const *text, int units) {
    return units == 0 ? 0 : platform::WideToMultiByte(0, text, units, nullptr, 0).count;
}

// The length of the macro in `count` characters of `text`: up to a zero, at most 127.
template <typename Ch> std::size_t MacroLength(Ch const *text, std::size_t count) {
    std::size_t n = 0;
    for (const std::size_t limit = std::min(count, core::kMacroLimit); n < limit && text[n] != 0;
         ++n) {
    }
    return n;
}

} // namespace

void CppMacro::Reset() {
    ID = 0;
    Clear();
}

void CppMacro::Clear() {
    macro_ = "";
    macroW_ = nullptr;
    own_.reset();
}

std::uint8_t *CppMacro::Store(std::size_t bytes) {
    if (bytes <= sizeof inline_)
        return inline_;
    if (arena_ != nullptr)
        return core::TryAllocate([&] {
            return static_cast<std::uint8_t *>(arena_->allocate(bytes, alignof(std::uint16_t)));
        });
    own_ = core::NewArray<std::uint8_t>(bytes);
    return own_.get();
}

std::u16string CppMacro::MacroW() const {
    if (macroW_ != nullptr)
        return std::u16string(reinterpret_cast<char16_t const *>(macroW_));
    std::u16string wide;
    if (IsAscii(macro_)) {
        for (char const *c = macro_; *c != '\0'; ++c)
            wide.push_back(static_cast<unsigned char>(*c));
        return wide;
    }
    // A byte never yields more than one UTF-16 unit, so the field always has room; the
    // terminator is converted with the rest.
    std::uint16_t units[kMacroField];
    int const count = platform::MultiByteToWide(0, macro_, -1, units, int(kMacroField)).count;
    if (count > 0)
        wide.assign(units, units + count - 1);
    return wide;
}

core::HResult CppMacro::SetMacro(char const *bytes, std::size_t length) {
    length = MacroLength(bytes, length);
    std::unique_ptr<std::uint8_t[]> previous = std::move(own_); // `bytes` may lie in it
    std::uint8_t *block = Store(length + 1);
    if (block == nullptr) {
        Clear();
        return core::kEOutOfMemory;
    }
    std::memmove(block, bytes, length);
    block[length] = 0;
    macro_ = reinterpret_cast<char const *>(block);
    macroW_ = nullptr;
    return core::kSOk;
}

core::HResult CppMacro::SetMacroW(std::uint16_t const *units, std::size_t length) {
    int count = static_cast<int>(MacroLength(units, length));
    std::unique_ptr<std::uint8_t[]> previous = std::move(own_); // `units` may lie in it
    if (IsAscii(units, std::size_t(count))) {
        char narrow[kMacroField];
        for (int i = 0; i < count; ++i)
            narrow[i] = static_cast<char>(units[i]);
        return SetMacro(narrow, std::size_t(count));
    }
    // Keep the longest prefix of whole characters that fits 127 bytes.
    while (count > 0 && NarrowLength(units, count) > static_cast<int>(core::kMacroLimit)) {
        --count;
        if (count > 0 && units[count] >= 0xDC00 && units[count] < 0xE000 &&
            units[count - 1] >= 0xD800 && units[count - 1] < 0xDC00)
            --count;
    }
    char narrow[kMacroField];
    int const bytes =
        count == 0
            ? 0
            : platform::WideToMultiByte(0, units, count, narrow, int(core::kMacroLimit)).count;
    // The wide form first, where its units are aligned, then the multibyte one.
    const std::size_t wideBytes = 2 * (std::size_t(count) + 1);
    std::uint8_t *block = Store(wideBytes + std::size_t(bytes) + 1);
    if (block == nullptr) {
        Clear();
        return core::kEOutOfMemory;
    }
    auto *wide = reinterpret_cast<std::uint16_t *>(block);
    std::memmove(wide, units, 2 * std::size_t(count));
    wide[count] = 0;
    std::memcpy(block + wideBytes, narrow, std::size_t(bytes));
    block[wideBytes + std::size_t(bytes)] = 0;
    macroW_ = wide;
    macro_ = reinterpret_cast<char const *>(block + wideBytes);
    return core::kSOk;
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
    if (core::Arena *arena = ItemArena()) { // the arena owns the block
        return core::TryAllocate([&] {
            return RecordBlock(static_cast<std::uint8_t *>(arena->AllocateZeroTail(total, filled)),
                               RecordRelease{});
        });
    }
    return RecordBlock(core::AllocateZeroed<std::uint8_t>(total).release(), RecordRelease{true});
}

core::HResult RilStrRes::BuildRecord(void const *text, std::size_t textBytes,
                                     std::size_t terminatorBytes) {
    Record.reset();
    RecordSize = 0;
    std::optional<RecordLayout> layout = PlanRecord(Macro(), textBytes, terminatorBytes);
    if (!layout)
        return core::kEOutOfMemory;
    RecordBlock record = AllocateRecord(layout->size, layout->size);
    if (!record)
        return core::kEOutOfMemory;
    FillRecord(std::span<std::uint8_t>(record.get(), layout->size), *layout, Macro(), text);
    Record = std::move(record);
    RecordSize = static_cast<std::uint32_t>(layout->size);
    return core::kSOk;
}

core::HResult RilStrRes::SetTextA(void const *text, std::size_t length) {
    return BuildRecord(text, length, 1);
}

core::HResult RilStrRes::SetTextW(void const *text, std::size_t length) {
    if (length > SIZE_MAX / 2)
        return core::kEOutOfMemory;
    return BuildRecord(text, length * 2, 2);
}

core::HResult RilStrRes::SetRecord(std::uint8_t const *record, std::uint32_t size) {
    return SetRecord(record, size, size);
}

core::HResult RilStrRes::SetRecord(std::uint8_t const *record, std::size_t available,
                                   std::uint32_t size) {
    Record.reset();
    RecordSize = 0;
    if (available > size)
        available = size;
    RecordBlock copy = AllocateRecord(size, available);
    if (!copy)
        return core::kEOutOfMemory;
    if (available > 0)
        std::memcpy(copy.get(), record, available);
    return TakeRecord(std::move(copy), size);
}

core::HResult RilStrRes::BorrowRecord(std::uint8_t *record, std::uint32_t size) {
    return TakeRecord(RecordBlock(record, RecordRelease{}), size);
}

// Makes `record` the item's and fills both macro forms from it; without memory for the macro
// the item keeps no record.
core::HResult RilStrRes::TakeRecord(RecordBlock record, std::uint32_t size) {
    RecordRef view{record.get(), size};
    if (SetMacro(reinterpret_cast<char const *>(view.Macro()), view.MacroLength()) != core::kSOk) {
        Record.reset();
        RecordSize = 0;
        return core::kEOutOfMemory;
    }
    Record = std::move(record);
    RecordSize = size;
    return core::kSOk;
}

} // namespace ril::items
