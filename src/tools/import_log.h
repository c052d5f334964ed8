// The import log that Ril_ImportResFromTxtToBin keeps when it is given a log path.
#pragma once

#include "core/result_codes.h"

namespace ril::tools {

// Starts an import of `txtPath` into `target` (null: no BIN to write): with a log path, the
// log is emptied and gets its head. kSOk; or kErrArgument when the log cannot be created or
// would overwrite the text file or the BIN (shown), or when there is no target (logged,
// with the failure banner).
core::HResult StartImportLog(char const *logPath, char const *txtPath, char const *target);

// Ends the log with the banner for `result`.
void EndImportLog(char const *logPath, core::HResult result);

} // namespace ril::tools
