// The tool's look at a text resource file before the library imports it.
#pragma once

namespace rilcli {

struct Invocation;

// Decides how the import reads its text file and refuses a file it would misread: a file
// that starts with EF BB BF is read as UTF-8 when no code page is given; a non-empty file
// in which no item can be found fails (unless --force) with the likely reason; a valid
// UTF-8 file read in a double-byte code page gets a warning. Under --verbose, says how the
// file is read. Returns whether the import reads it as wide text.
bool PrepareImport(Invocation const &invocation);

} // namespace rilcli
