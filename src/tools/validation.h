// Validation of an item list before an import writes it as a BIN.
#pragma once

#include "core/notice.h"
#include "items/ril_txt_loader.h"

namespace ril::tools {

// Reports every bad or repeated macro and repeated ID, removes the repeats and sorts the
// list by signed ID; true when nothing was wrong. `sourcePath`, the text file the items were
// read from, names the file in the notices; `places` gives the lines and columns of the items.
bool Validate(items::CRilTxtLoader &list, char const *logPath, char const *sourcePath = nullptr,
              core::PlaceFinder const *places = nullptr);

// Whether `macro` is one or more of the characters a macro may hold.
bool IsMacroName(char const *macro);

} // namespace ril::tools
