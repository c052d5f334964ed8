// Reading a BIN into an item list, for the export and header tools.
#pragma once

#include "items/ril_txt_loader.h"
#include "table/bin_target.h"

namespace ril {

// Appends the entries of the BIN at `path`; 1 on success, 0 after showing why.
int LoadBin(CRilTxtLoader &list, char const *path);

// Fills `list` from the BIN a tool reads: kSOk; kErrArgument when there is no file (neither
// a path nor a loaded table) or kErrBinRead when it is refused or unreadable, each shown.
HResult LoadToolSource(CRilTxtLoader &list, BinTarget const &source);

} // namespace ril
