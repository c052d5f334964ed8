// The import of a text resource file into a BIN, and the check that runs its first two steps.
#pragma once

#include "core/result_codes.h"
#include "table/bin_target.h"

namespace ril {

// Text file → item list → validation → BIN `target`, with the import log around it when
// `logPath` is given: kSOk, kErrArgument (no text file, a log that cannot be created, no
// target), kErrImportParse (parsing or validation failed) or kErrImportWrite.
HResult ImportTxtToBin(char const *txtPath, int wide, BinTarget const &target, char const *logPath);

// Parses and validates the text file, reporting every fault, and writes nothing: kSOk,
// kErrArgument (no text file) or kErrImportParse.
HResult CheckTxt(char const *txtPath, int wide);

} // namespace ril
