// The library's lint of a text resource file, run with the tool's rules for check and import.
#pragma once

#include "Ril4410.h"
#include "diagnostic.h"

#include <vector>

namespace rilcli {

struct Invocation;

// Lints the invocation's text file through the library: bytes that are no character of the
// code page and a macro the import would cut are errors, so is a file without items (unless
// --force); without --code-page or --utf8 a UTF-8 signature reads it as UTF-8 (and makes that
// the code page for the import that follows). `findingsOnly` leaves the parser's and
// validation's faults to the import. The diagnostics shown come back in the library's order,
// behind a first one that says how the file is read; `result` is the lint's.
std::vector<Diagnostic> LintText(Invocation const &invocation, bool findingsOnly, RIL_LONG &result);

// Imports the invocation's text file into `binPath` with the same lint riding on the one
// parse (Ril_ImportResFromTxtToBinEx): the diagnostics, the import's among them, come back
// in the library's order behind the one on how the file is read; `result` is the import's,
// `refused` says the lint refused the file (its errors then say everything).
std::vector<Diagnostic> ImportText(Invocation const &invocation, char const *binPath,
                                   char const *logPath, RIL_LONG &result, bool &refused);

} // namespace rilcli
