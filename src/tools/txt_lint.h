// The lint of a text resource file: what the import reports and what it takes silently,
// found by the one parser as it reads the file (Ril_LintResTxt).
#pragma once

#include "core/result_codes.h"

namespace ril {

// The lint's options (the public RIL_LINT_ flags).
enum LintFlag : unsigned {
    kLintStrictBytes = 0x1,     // bytes that are no character of the code page are an error
    kLintMacroLimitError = 0x2, // a macro the import would cut is an error
    kLintUtf8Signature = 0x4,   // a multibyte file starting EF BB BF is read as UTF-8
    kLintNoItemsError = 0x8,    // a file with content but no item is an error
    kLintFindingsOnly = 0x10,   // the lint's own findings alone: no parser notices, no validation
};

// Lints `txtPath` read as `wide` asks; reports every finding as a notice and writes nothing.
// kSOk, kErrArgument for a null path, kErrImportParse when an error was reported.
HResult LintTxt(char const *txtPath, int wide, unsigned flags);

} // namespace ril
