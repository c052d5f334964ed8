// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN.
#pragma once

#include "items/ril_txt_loader.h"
#include "table/bin_target.h"

namespace ril {

// Writes the list as a header at `headerPath`, replacing it whole; false (shown) when it
// cannot be written or an item's macro cannot stand in an identifier.
bool WriteHeader(CRilTxtLoader const &list, char const *headerPath, int wide);

// Reads the BIN `source` and writes its header into `headerDir`, named after the BIN: kSOk,
// kErrArgument, kErrBinRead or kErrOutputWrite.
HResult WriteHeaderFile(char const *headerDir, int wide, BinTarget const &source);

} // namespace ril
