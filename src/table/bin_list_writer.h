// Writing an item list as a BIN, for the import.
#pragma once

#include "items/ril_txt_loader.h"
#include "table/bin_target.h"

namespace ril::table {

// Writes the items that have a record, in list order, replacing the file whole or not at all;
// the loaded table whose file it is gets unloaded once the new file is in place. 1, or 0
// after logging why (no file, refused while a session is open, not written).
int SaveBin(items::CRilTxtLoader const &list, BinTarget const &target, char const *logPath);

} // namespace ril::table
