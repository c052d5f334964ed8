// FileLock outside Windows: flock() on a descriptor of the file, rechecked by inode.
#include "platform/file_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ril::platform {

// flock() locks belong to the open file, not the process, so the library's own opens and
// closes of the file do not drop the lock.
FileLock::FileLock(char const *path) {
    if (path == nullptr)
        return;
    constexpr int kAttempts = 1000; // each retry means another update went through
    for (int attempt = 0; attempt < kAttempts && handle_ == kNone; ++attempt) {
        int const fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        int locked;
        do
            locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        struct stat held {};
        struct stat named {};
        bool const same = locked == 0 && ::fstat(fd, &held) == 0 && ::stat(path, &named) == 0 &&
                          held.st_dev == named.st_dev && held.st_ino == named.st_ino;
        if (same)
            handle_ = fd;
        else
            ::close(fd);
        if (locked != 0)
            return;
    }
}

FileLock::~FileLock() {
    if (handle_ != kNone)
        ::close(static_cast<int>(handle_));
}

} // namespace ril::platform
