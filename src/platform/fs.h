// File-system operations beyond reading and writing: removing and atomically replacing.
#pragma once

namespace ril::platform {

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(const char *path);
// Renames `source` over `target`, replacing an existing target in one step.
bool ReplaceFile(const char *source, const char *target);
// A number that differs between processes, for naming temporary files.
unsigned long ProcessId();
// Whether a whole-file writer may replace `path`: it is not a folder, and it is either
// missing or writable, as an open for writing would require.
bool CanReplace(const char *path);
// Gives `to` the access permissions of `from`, when `from` exists.
void CopyPermissions(const char *from, const char *to);

} // namespace ril::platform
