// Item records from a macro and a text, laid out before they are filled.
#include "items/record_builder.h"

#include "core/byte_cursor.h"

#include <cstring>

namespace ril::items {

std::optional<RecordLayout> PlanRecord(char const *macro, std::size_t textBytes,
                                       std::size_t terminatorBytes) {
    RecordLayout layout;
    layout.macroBytes = std::strlen(macro) + 1;
    layout.textBytes = textBytes;
    layout.terminatorBytes = terminatorBytes;
    if (layout.macroBytes > UINT16_MAX || textBytes > UINT32_MAX || terminatorBytes > UINT32_MAX)
        return std::nullopt;
    const std::uint64_t size = std::uint64_t{2} + layout.macroBytes + textBytes + terminatorBytes;
    if (size > UINT32_MAX)
        return std::nullopt;
    layout.size = static_cast<std::size_t>(size);
    return layout;
}

bool FillRecord(std::span<std::uint8_t> out, RecordLayout const &layout, char const *macro,
                void const *text) {
    if (out.size() != layout.size)
        return false;
    core::ByteWriter writer(out);
    writer.U16(static_cast<std::uint16_t>(layout.macroBytes));
    writer.Bytes(macro, layout.macroBytes);
    writer.Bytes(text, layout.textBytes);
    writer.Zeros(layout.terminatorBytes);
    return writer.Complete();
}

} // namespace ril::items
