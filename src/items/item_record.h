// A view of one stored item record: a 16-bit macro length M, M macro bytes, then the text.
// Every record the library stores is followed by kRecordPadding zero bytes that it owns, so
// a text without its own terminator still ends at the record's end, in either flavour.
#pragma once

#include "core/byte_cursor.h"

#include <cstddef>
#include <cstdint>

namespace ril::items {

constexpr std::size_t kRecordPadding = 4;

struct RecordRef {
    std::uint8_t *data = nullptr;
    std::uint32_t size = 0;

    explicit operator bool() const { return data != nullptr; }

    // The macro length, clamped so that the macro never reaches past the record.
    std::uint32_t MacroLength() const {
        if (size < 2)
            return 0;
        std::uint32_t m = core::LoadU16(data);
        return m <= size - 2 ? m : size - 2;
    }
    std::uint8_t const *Macro() const { return data + (size < 2 ? size : 2); }
    // The text, which starts right behind the macro (unaligned for wide text).
    std::uint8_t *Text() const { return data + (size < 2 ? size : 2 + MacroLength()); }
};

} // namespace ril::items
