// File-system operations on Windows: MoveFileExA replaces an existing target.
#include "platform/fs.h"

#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA; this file defines the library's own.
#undef ReplaceFile

namespace ril::platform {

bool RemoveFile(const char *path) {
    return path != nullptr && DeleteFileA(path) != 0;
}

bool ReplaceFile(const char *source, const char *target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

bool CanReplace(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

void CopyPermissions(const char *from, const char *to) {
    DWORD attributes = GetFileAttributesA(from);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(to, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_ARCHIVE));
}

} // namespace ril::platform
