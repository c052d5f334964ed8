// Writing an item list as a text resource file, and the export of a BIN built on it.
#pragma once

#include "items/ril_txt_loader.h"
#include "table/bin_target.h"

namespace ril::text {

// Writes the list to `path` in the flavour `wide` names, replacing the file whole; 1, or 0
// after showing why (not writable, or an item the format cannot hold). A multibyte file
// starts with the UTF-8 signature EF BB BF when `utf8Mark`.
int SaveTxt(items::CRilTxtLoader const &list, char const *path, int wide, bool utf8Mark = false);

// Reads the BIN `source` and writes it as the text file `txtPath`: kSOk, kErrArgument,
// kErrBinRead or kErrOutputWrite.
core::HResult ExportBinToTxt(char const *txtPath, int wide, table::BinTarget const &source);

} // namespace ril::text
