// File-system operations on POSIX: rename(2) replaces the target atomically.
#include "platform/fs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>

namespace ril::platform {

bool RemoveFile(const char *path) {
    return path != nullptr && std::remove(path) == 0;
}

bool ReplaceFile(const char *source, const char *target) {
    return std::rename(source, target) == 0;
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

bool CanReplace(const char *path) {
    struct stat info {};
    if (stat(path, &info) != 0)
        return errno == ENOENT;
    return !S_ISDIR(info.st_mode) && access(path, W_OK) == 0;
}

void CopyPermissions(const char *from, const char *to) {
    struct stat info {};
    if (stat(from, &info) == 0)
        chmod(to, info.st_mode & 07777);
}

} // namespace ril::platform
