// Checking a translated string table against its base table (Ril_CheckAgainst).
#pragma once

#include "core/result_codes.h"

namespace ril::tools {

// Options of the check (the public flags).
enum CheckAgainstFlag : unsigned {
    kCheckUtf8Signature = 0x4, // a multibyte text file starting EF BB BF is read as UTF-8
};

// Reads the base table and the translation (each a text resource file or a BIN; `wide` reads
// text files without FF FE as UTF-16) and reports, as notices at the translation's items:
// an item whose "&0NN" placeholders differ from its base item's, an ID the base lacks, a
// macro that differs (errors), then one warning with the number of the base's IDs that the
// translation lacks. kSOk when no error was reported (warnings allowed), kErrArgument for a
// null path or an unknown flag, kErrImportParse after an error or a file that cannot be read.
core::HResult CheckAgainst(char const *basePath, char const *langPath, int wide, unsigned flags);

} // namespace ril::tools
