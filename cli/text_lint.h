// The library's lint of a text resource file, run with the tool's rules for check and import.
#pragma once

#include "Ril4410.h"
#include "diagnostics.h"

#include <vector>

namespace rilcli {

struct Invocation;

// Lints the invocation's text file through the library with the tool's rules (unmappable
// bytes, a macro the import would cut and, without --force, no items are errors; a UTF-8
// signature reads it as UTF-8 unless a code page is given). The diagnostics shown come back
// in the library's order behind one on how the file is read; `result` is the lint's.
std::vector<Diagnostic> LintText(Invocation const &invocation, RIL_LONG &result);

// Imports the text file into `binPath` with the same lint riding on the one parse; `result` is
// the import's, `refused` says the lint refused the file (its errors then say everything).
std::vector<Diagnostic> ImportText(Invocation const &invocation, char const *binPath,
                                   char const *logPath, RIL_LONG &result, bool &refused);

} // namespace rilcli
