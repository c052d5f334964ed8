// File-system operations beyond reading and writing: removing and atomically replacing.
#pragma once

namespace ril::platform {

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(const char *path);
// Renames `source` over `target`, replacing an existing target in one step.
bool ReplaceFile(const char *source, const char *target);
// A number that differs between processes, for naming temporary files.
unsigned long ProcessId();

} // namespace ril::platform
