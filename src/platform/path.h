// Path separators and joining, as the platform's file system understands them: on Windows
// both '\' and '/' separate components and '\' is appended; elsewhere '/' does both.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ril::platform {

// True for a byte that separates path components when it stands as a character of its
// own. On Windows the byte '\' can also be the second byte of a double-byte character in
// the ANSI code page; the functions below tell these apart, this test alone cannot.
bool IsPathSeparator(char c);
// The separator this platform appends: '\' on Windows, '/' elsewhere.
char PreferredSeparator();
// True when the path's last character is a separator (a trailing double-byte character
// whose second byte is '\' is not one).
bool EndsWithSeparator(std::string_view path);
// The offset of the last component: just past the last separator (or, on Windows, past a
// leading drive "X:"); 0 when the path has neither.
std::size_t FileNameOffset(std::string_view path);
// `name` inside folder `dir`: the preferred separator is put between them unless `dir` is
// empty, already ends in a separator or (on Windows) is a bare drive "X:".
std::string JoinPath(std::string_view dir, std::string_view name);

} // namespace ril::platform
