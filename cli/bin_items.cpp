// Items read through Ril_GetData and Ril_GetItemSize and split by Ril_SplitRecord. Texts are
// taken from the record itself rather than from Ril_GetStringA/W, which turn carriage
// returns into blanks, so that the output shows the stored text exactly.
#include "bin_items.h"

#include "diagnostics.h"
#include "text_output.h"

#include <bit>
#include <cstring>
#include <vector>

namespace rilcli {

void LoadBin(std::string const &path) {
    RIL_LONG const result = Ril_LoadRes(path.c_str());
    if (result < 0)
        throw Failure("cannot load '" + path + "'", result);
}

std::optional<Item> ItemOfRecord(void const *record, RIL_ULONG size, bool wide, bool strict) {
    RIL_RECORD_PARTS parts{};
    RIL_LONG const result = Ril_SplitRecord(record, size, wide ? 1 : 0, &parts);
    if (result < 0 || (strict && result != 0))
        return std::nullopt;
    Item item{std::string(parts.macro, parts.macroLength), {}};
    if (!wide) {
        item.text = AnsiToUtf8(std::string(static_cast<char const *>(parts.text), parts.textSize));
        return item;
    }
    // The record's UTF-16LE units are the host's own on every platform the library serves, as
    // for Ril_GetStringW; copied, since they may lie at an odd address.
    static_assert(std::endian::native == std::endian::little);
    std::u16string units(parts.textSize / 2, u'\0');
    std::memcpy(units.data(), parts.text, units.size() * sizeof(char16_t));
    item.text = Utf16ToUtf8(units);
    return item;
}

std::optional<Item> ReadItem(RIL_ULONG id, bool wide) {
    void const *record = Ril_GetData(id);
    if (record == nullptr)
        return std::nullopt;
    return ItemOfRecord(record, Ril_GetItemSize(id), wide, false);
}

Holder ReadHolder(std::string const &path) {
    Holder holder;
    RIL_ULONG size = 0;
    RIL_LONG result = Ril_RTEditGetHolderInfo(path.c_str(), nullptr, &size, &holder.held);
    std::vector<char> buffer(size + 1);
    if (result == 0 && holder.held == 1 && size > 0)
        result = Ril_RTEditGetHolderInfo(path.c_str(), buffer.data(), &size, &holder.held);
    if (result != 0)
        throw Failure("cannot read the holder of '" + path + "'", result);
    holder.text = buffer.data();
    return holder;
}

} // namespace rilcli
