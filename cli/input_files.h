// Whole input files read by the tool for its own checks before the library sees them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rilcli {

// Whether `path` names a directory.
bool IsDirectory(std::string const &path);

// The bytes of the file `path`, or nothing when it cannot be opened or read (the library
// then reports the failure with its own message).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string const &path);

} // namespace rilcli
