// Input files the tool reads or checks itself before the library sees them.
#pragma once

#include <optional>
#include <string>

namespace rilcli {

// The bytes of the file `path`, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(std::string const &path);

// Throws Failure "cannot open 'PATH': REASON" with the system's reason ("Is a directory" for
// a directory) unless `path` is a file that can be opened for reading.
void RequireReadableFile(std::string const &path);

} // namespace rilcli
