// File-system operations on POSIX: rename(2) replaces the target atomically.
#include "platform/fs.h"

#include <unistd.h>

#include <cstdio>

namespace ril::platform {

bool RemoveFile(const char *path) { return path != nullptr && std::remove(path) == 0; }

bool ReplaceFile(const char *source, const char *target) {
    return std::rename(source, target) == 0;
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

} // namespace ril::platform
