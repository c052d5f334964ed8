// The tool's look at a text resource file before the library imports it.
#pragma once

#include "diagnostics.h"

#include <string>

namespace rilcli {

struct Invocation;

// The refusal of a file in which no item can be found: "<path>: <reason>".
class ImportRefusal : public Failure {
  public:
    ImportRefusal(std::string const &path, std::string reason)
        : Failure(path + ": " + reason), reason_(std::move(reason)) {}
    std::string const &Reason() const { return reason_; }

  private:
    std::string reason_;
};

// Decides how the import reads its text file and refuses a file it would misread: a file
// that starts with EF BB BF is read as UTF-8 when no code page is given; a non-empty file
// in which no item can be found fails (unless --force) with ImportRefusal and the likely
// reason; a valid
// UTF-8 file read in a double-byte code page gets a warning, and an information says how
// the file is read. Returns whether the import reads it as wide text.
bool PrepareImport(Invocation const &invocation);

} // namespace rilcli
