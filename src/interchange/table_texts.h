// A table's items read through the library's exports, and a table written through its import.
#pragma once

#include "interchange/unit.h"

#include <string>

namespace ril::interchange {

// The items of the BIN at `path` in ascending ID order, texts read in the flavour given and
// converted to UTF-8. Throws Error when the file is no BIN or a text or macro does not
// convert exactly.
Entries ReadTable(std::string const &path, bool wide);

// Writes the items as a BIN at `path` through Ril_WriteBinFromItems, texts converted from
// UTF-8 to the flavour given. A text the code page cannot hold is an Error at the unit's
// place; nothing is written then. Returns the library's result (0 when written).
long WriteTable(Units const &units, bool wide, std::string const &path);

} // namespace ril::interchange
