// File-system operations on Windows: MoveFileExA replaces an existing target.
#include "platform/fs.h"

#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA; this file defines the library's own.
#undef ReplaceFile

namespace ril::platform {

bool RemoveFile(const char *path) { return path != nullptr && DeleteFileA(path) != 0; }

bool ReplaceFile(const char *source, const char *target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

} // namespace ril::platform
