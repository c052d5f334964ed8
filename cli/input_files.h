// Whole input files read by the tool for its own checks before the library sees them, and
// the system's reasons for failed file operations.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rilcli {

// Whether `path` names a directory.
bool IsDirectory(std::string const &path);

// The text of the C library's error number `error` ("No such file or directory").
std::string SystemReason(int error);

// The bytes of the file `path`; throws Failure "cannot open 'PATH': REASON" (or "cannot
// read") with the system's reason, "Is a directory" for a directory.
std::vector<std::uint8_t> ReadWholeFileOrFail(std::string const &path);

// The bytes of the file `path`, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string const &path);

// Throws Failure "cannot open 'PATH': REASON" unless `path` is a file that can be opened
// for reading.
void RequireReadableFile(std::string const &path);

} // namespace rilcli
