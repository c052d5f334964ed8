// Building item records: a 16-bit macro length, the macro with its zero byte, then the text
// and its terminator. The layout is computed first; the record is then filled into a buffer
// of exactly that size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ril::items {

struct RecordLayout {
    std::size_t macroBytes = 0;      // the macro and its zero byte, the stored macro length
    std::size_t textBytes = 0;       // the text as given
    std::size_t terminatorBytes = 0; // zero bytes written behind the text
    std::size_t size = 0;            // the whole record

    std::size_t TextOffset() const { return 2 + macroBytes; }
};

// The layout of the record of `macro` and a text of `textBytes` bytes followed by
// `terminatorBytes` zero bytes; none when the macro length does not fit its 16-bit field or
// the record does not fit a 32-bit size.
std::optional<RecordLayout> PlanRecord(char const *macro, std::size_t textBytes,
                                       std::size_t terminatorBytes);

// Writes the record into `out`; false (with `out` partly written) unless `out` is exactly
// layout.size bytes long.
bool FillRecord(std::span<std::uint8_t> out, RecordLayout const &layout, char const *macro,
                void const *text);

} // namespace ril::items
