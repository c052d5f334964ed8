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

std::vector<std::uint32_t> EntryIds(std::string const &path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
    if (!file)
        throw Failure("cannot read the entries of '" + path + "'");
    std::vector<unsigned char> bytes;
    unsigned char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;)
        bytes.insert(bytes.end(), block, block + got);
    if (std::ferror(file.get()))
        throw Failure("cannot read the entries of '" + path + "'");

    std::vector<std::uint32_t> ids;
    if (bytes.size() < 12)
        return ids; // no count: the table has no entries
    std::uint32_t const bound = LoadU32(bytes.data() + 4) + 10u; // max ID + 10, as loaded
    std::uint32_t const count = LoadU32(bytes.data() + 8);
    std::uint64_t position = 12;
    for (std::uint32_t i = 0; i < count && position + 8 <= bytes.size(); ++i) {
        std::uint32_t const id = LoadU32(bytes.data() + position);
        if (id < bound)
            ids.push_back(id);
        position += 8 + std::uint64_t{LoadU32(bytes.data() + position + 4)};
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
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
