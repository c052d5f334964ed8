// Reads items through Ril_GetData, Ril_GetItemSize and Ril_GetMacro. Texts are taken from
// the record itself rather than from Ril_GetStringA/W, which turn carriage returns into
// blanks, so that the output shows the stored text exactly.
#include "bin_items.h"

#include "diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace rilcli {
namespace {

std::uint32_t LoadU32(unsigned char const *bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string ReadMacro(RIL_ULONG id) {
    RIL_ULONG length = 0;
    RIL_LONG result = Ril_GetMacro(nullptr, length, id);
    if (result < 0)
        throw Failure("cannot read the macro of ID " + std::to_string(id), result);
    // The size answered covers the macro and its terminator.
    std::vector<char> buffer(static_cast<std::size_t>(length));
    result = Ril_GetMacro(buffer.data(), length, id);
    if (result < 0)
        throw Failure("cannot read the macro of ID " + std::to_string(id), result);
    return std::string(buffer.data()); // the macro's own zero byte ends it
}

} // namespace

void LoadBin(std::string const &path) {
    RIL_LONG const result = Ril_LoadRes(path.c_str());
    if (result < 0)
        throw Failure("cannot load '" + path + "'", result);
}

std::uint32_t IdLimit(std::string const &path) {
    // A table whose file declared no entries has no slots at all, whatever its max ID.
    if (Ril_GetNumItem() == 0)
        return 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
    unsigned char header[8];
    if (!file || std::fread(header, 1, sizeof header, file.get()) != sizeof header)
        throw Failure("cannot read the header of '" + path + "'");
    return LoadU32(header + 4) + 10u;
}

bool HasItem(RIL_ULONG id) {
    return Ril_GetData(id) != nullptr;
}

Item ReadItem(RIL_ULONG id) {
    auto const *record = static_cast<std::uint8_t const *>(Ril_GetData(id));
    if (record == nullptr)
        throw Failure("no item with ID " + std::to_string(id));
    std::size_t const size = Ril_GetItemSize(id);
    // Record: a 16-bit macro length M, M macro bytes, then the text; clamped to the record.
    std::size_t const macroLength = size >= 2 ? record[0] | record[1] << 8 : 0;
    std::size_t const textOffset = std::min(size, 2 + macroLength);
    return Item{ReadMacro(id), std::span(record + textOffset, size - textOffset)};
}

std::string MultibyteText(Item const &item) {
    auto const end = std::find(item.textBytes.begin(), item.textBytes.end(), 0);
    return std::string(item.textBytes.begin(), end);
}

std::u16string WideText(Item const &item) {
    std::u16string text;
    // Little-endian units at any alignment; an odd last byte belongs to no unit.
    for (std::size_t i = 0; i + 1 < item.textBytes.size(); i += 2) {
        auto const unit = static_cast<char16_t>(item.textBytes[i] | item.textBytes[i + 1] << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

} // namespace rilcli
