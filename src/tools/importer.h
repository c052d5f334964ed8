// The import of a text resource file into a BIN, and the check that runs its first two steps.
#pragma once

#include "core/result_codes.h"
#include "table/bin_target.h"

namespace ril::tools {

// Text file → item list → validation → BIN `target`, with the import log around it when
// `logPath` is given: kSOk, kErrArgument (no text file, a log that cannot be created, no
// target), kErrImportParse (parsing or validation failed) or kErrImportWrite. With
// `lintFlags`, the lint (LintFlag bits) rides on the same parse: its findings are reported
// before the parser's notices, to the log too, and an error among them is kErrImportParse
// with nothing more reported and no BIN written (the log records the failed run). A UTF-8 signature
// the lint reads switches the code page for the whole import.
core::HResult ImportTxtToBin(char const *txtPath, int wide, table::BinTarget const &target,
                             char const *logPath, unsigned const *lintFlags = nullptr);

// Parses and validates the text file, reporting every fault, and writes nothing: kSOk,
// kErrArgument (no text file) or kErrImportParse.
core::HResult CheckTxt(char const *txtPath, int wide);

} // namespace ril::tools
