// Pairing base items with translations by ID, and translated units with base items by macro.
#include "interchange/units.h"

#include <map>

namespace ril::interchange {

Units MakeUnits(Entries const &base, Entries const *translation) {
    std::map<std::uint32_t, std::string const *> translated;
    if (translation != nullptr)
        for (Entry const &entry : *translation)
            translated[entry.id] = &entry.text;
    Units units;
    units.reserve(base.size());
    for (Entry const &entry : base) {
        Unit unit;
        unit.id = entry.id;
        unit.identified = true;
        unit.macro = entry.macro;
        unit.source = entry.text;
        if (auto const found = translated.find(entry.id); found != translated.end()) {
            unit.target = *found->second;
            unit.translated = true;
        }
        units.push_back(std::move(unit));
    }
    return units;
}

Units TranslatedUnits(Units const &read, Entries const *base, bool useFuzzy) {
    std::map<std::string, Entry const *> byMacro;
    if (base != nullptr)
        for (Entry const &entry : *base)
            byMacro[entry.macro] = &entry;
    Units units;
    for (Unit const &unit : read) {
        if (!unit.translated || (unit.fuzzy && !useFuzzy))
            continue;
        Unit kept = unit;
        if (base != nullptr) {
            auto const found = byMacro.find(unit.macro);
            if (found == byMacro.end())
                throw Error(unit.place, "the base table holds no item " + unit.macro);
            kept.id = found->second->id;
            kept.identified = true;
        }
        units.push_back(std::move(kept));
    }
    return units;
}

} // namespace ril::interchange
