// File-system operations on Windows: MoveFileExA replaces an existing target; files are the
// same when their volume serial number and file index are.
#include "platform/fs.h"

#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA; this file defines the library's own.
#undef ReplaceFile

namespace ril::platform {
namespace {

// The identity of an existing file or folder; false when it cannot be opened.
bool FileIdentity(char const *path, BY_HANDLE_FILE_INFORMATION &info) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

} // namespace

bool RemoveFile(char const *path) {
    return path != nullptr && DeleteFileA(path) != 0;
}

bool ReplaceFile(char const *source, char const *target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool CanReplace(char const *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0)
        return true;
    SetLastError(ERROR_ACCESS_DENIED); // the reason a caller reports
    return false;
}

bool SameFile(char const *a, char const *b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return a != nullptr && b != nullptr && FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::string FinalPath(char const *path) {
    return path;
}

} // namespace ril::platform
