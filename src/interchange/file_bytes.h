// A whole input file read into memory, for the readers.
#pragma once

#include <string>

namespace ril::interchange {

// The bytes of the file; throws Error "cannot read the file: <the system's reason>".
std::string ReadFileBytes(std::string const &path);

} // namespace ril::interchange
