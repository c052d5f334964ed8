// Units made from a base table and its translation, and the items a translation file gives.
#pragma once

#include "interchange/unit.h"

#include <optional>

namespace ril::interchange {

// One unit per item of the base, in its order, translated where `translation` holds the ID.
Units MakeUnits(Entries const &base, Entries const *translation);

// The units to write as a table: untranslated ones left out, fuzzy ones unless `useFuzzy`.
// With a base, each unit takes its ID and macro from the base item of the same macro (its
// context); a unit the base does not hold is an Error at its place.
Units TranslatedUnits(Units const &read, Entries const *base, bool useFuzzy);

} // namespace ril::interchange
