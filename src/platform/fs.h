// File-system operations beyond reading and writing: removing, atomically replacing, telling
// whether two paths name one file and following symbolic links.
#pragma once

#include <string>

namespace ril::platform {

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(char const *path);
// Renames `source` over `target`, replacing an existing target in one step.
bool ReplaceFile(char const *source, char const *target);
// Whether a whole-file writer may replace `path`: it is not a folder, and it is either
// missing or writable, as an open for writing would require.
bool CanReplace(char const *path);
// True when both paths exist and name the same file however they are spelt (the same device
// and inode on POSIX, the same volume and file index on Windows).
bool SameFile(char const *a, char const *b);
// The path a write through `path` would reach: a symbolic link is followed (relative links
// from the link's folder) until a name that is not a link, existing or not. Empty when the
// links go round in a loop or cannot be read. Windows: the path as it is.
std::string FinalPath(char const *path);

} // namespace ril::platform
