// Reading a BIN with Ril_InspectBin (its IDs), then Ril_LoadRes, Ril_GetItemSize, Ril_GetData
// and Ril_SplitRecord (the loaded table is the process's one: unloaded again before the
// return), and writing one with Ril_WriteBinFromItems.
#include "interchange/table_texts.h"

#include "Ril4410.h"
#include "interchange/text_codec.h"

#include <vector>

namespace ril::interchange {
namespace {

// Unloads the process's table when the reading ends, however it ends.
struct LoadedTable {
    explicit LoadedTable(std::string const &path) : loaded(Ril_LoadRes(path.c_str()) == RIL_S_OK) {}
    ~LoadedTable() { Ril_UnloadRes(); }
    LoadedTable(LoadedTable const &) = delete;
    LoadedTable &operator=(LoadedTable const &) = delete;
    bool loaded;
};

std::vector<RIL_ULONG> TableIds(std::string const &path) {
    RIL_BIN_INFO info{};
    info.structSize = sizeof info;
    RIL_LONG const result = Ril_InspectBin(path.c_str(), &info, nullptr, 0);
    if (result != RIL_S_OK && result != RIL_S_FALSE)
        throw Error({path}, info.text[0] != '\0' ? info.text : "cannot read the file");
    std::vector<RIL_ULONG> ids(info.idCount);
    if (!ids.empty() && Ril_InspectBin(path.c_str(), &info, ids.data(), info.idCount) != RIL_S_OK)
        throw Error({path}, "the file changed while it was read");
    return ids;
}

Entry ReadEntry(RIL_ULONG id, bool wide, std::string const &path) {
    std::string const where = "the item " + std::to_string(id);
    void const *record = Ril_GetData(id);
    RIL_RECORD_PARTS parts{};
    RIL_LONG const split =
        record == nullptr ? RIL_E_FAIL : Ril_SplitRecord(record, Ril_GetItemSize(id), wide, &parts);
    if (split != RIL_S_OK)
        throw Error({path}, where + " has no readable record");
    std::optional<std::string> macro = MacroToUtf8({parts.macro, parts.macroLength});
    std::optional<std::string> text =
        TextToUtf8({static_cast<char const *>(parts.text), parts.textSize}, wide);
    if (!macro || !text)
        throw Error({path}, where + (macro ? "'s text" : "'s macro") +
                                " does not convert exactly to UTF-8 from " +
                                (wide ? std::string("UTF-16")
                                      : "code page " + std::to_string(Ril_GetAnsiCodePage())));
    return Entry{id, *macro, *text};
}

} // namespace

Entries ReadTable(std::string const &path, bool wide) {
    std::vector<RIL_ULONG> const ids = TableIds(path);
    LoadedTable const table(path);
    if (!table.loaded)
        throw Error({path}, "cannot load the table");
    Entries entries;
    entries.reserve(ids.size());
    for (RIL_ULONG const id : ids)
        entries.push_back(ReadEntry(id, wide, path));
    return entries;
}

long WriteTable(Units const &units, bool wide, std::string const &path) {
    std::vector<std::string> macros, texts;
    macros.reserve(units.size());
    texts.reserve(units.size());
    for (Unit const &unit : units) {
        std::optional<std::string> macro = Utf8ToMacro(unit.macro);
        std::optional<std::string> text = Utf8ToText(unit.target, wide);
        if (!macro || !text)
            throw Error(unit.place,
                        "the " + std::string(macro ? "text" : "macro") + " of " + unit.macro +
                            " (ID " + std::to_string(unit.id) + ") cannot be written in " +
                            (wide ? std::string("UTF-16")
                                  : "code page " + std::to_string(Ril_GetAnsiCodePage())));
        macros.push_back(std::move(*macro));
        texts.push_back(std::move(*text));
    }
    std::vector<RIL_ITEM> items(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
        items[i] = RIL_ITEM{units[i].id, macros[i].c_str(), texts[i].data(),
                            static_cast<RIL_ULONG>(texts[i].size())};
    return Ril_WriteBinFromItems(items.data(), static_cast<RIL_ULONG>(items.size()), wide ? 1 : 0,
                                 path.c_str());
}

} // namespace ril::interchange
