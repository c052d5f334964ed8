// Files on POSIX: exclusive creation, permissions of an open file and all-or-nothing appends,
// through descriptors.
#include "platform/fault.h"
#include "platform/file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ril::platform {
namespace {

// Writes everything, resuming after interruptions and short writes.
bool WriteAll(int fd, void const *data, std::size_t size) {
    auto const *bytes = static_cast<std::uint8_t const *>(data);
    while (size > 0) {
        ssize_t done = write(fd, bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

// Writes an appended piece; the failure injection stops a write part way, as a full disk
// does, or fails the close that follows it.
bool WritePiece(int fd, void const *data, std::size_t size) {
    if (ShouldFail(Fault::FileWrite)) {
        WriteAll(fd, data, size / 2);
        return false;
    }
    return WriteAll(fd, data, size) && !ShouldFail(Fault::FileClose);
}

// The mode a plain create gives a new file. The umask can only be read by setting it: the
// most restrictive value stands in for the moment, so nothing created meanwhile gets more.
mode_t PlainCreateMode() {
    mode_t mask = umask(077);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

File File::CreateNew(char const *path, bool &taken) {
    taken = false;
    if (path == nullptr || ShouldFail(Fault::FileOpen))
        return File();
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        taken = errno == EEXIST;
        return File();
    }
    std::FILE *stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        close(fd);
        unlink(path);
    }
    return File(stream);
}

void File::MatchPermissions(char const *target) {
    if (stream_ == nullptr)
        return;
    struct stat info {};
    mode_t mode = stat(target, &info) == 0 ? info.st_mode & 07777 : PlainCreateMode();
    fchmod(fileno(stream_), mode);
}

bool File::IsFolder() const {
    struct stat info {};
    return stream_ != nullptr && fstat(fileno(stream_), &info) == 0 && S_ISDIR(info.st_mode);
}

AppendStatus AppendToFile(char const *path, void const *data, std::size_t size, AppendMode mode,
                          int *systemError) {
    int ignored = 0;
    int &error = systemError != nullptr ? *systemError : ignored;
    error = 0;
    if (path == nullptr || ShouldFail(Fault::FileOpen))
        return AppendStatus::CannotOpen;
    int flags = O_WRONLY | O_APPEND | O_CLOEXEC;
    if (mode == AppendMode::CreateIfMissing)
        flags |= O_CREAT;
    int fd = open(path, flags, 0666);
    if (fd < 0) {
        error = errno;
        return AppendStatus::CannotOpen;
    }
    // Only a regular file can be cut back; a device (a terminal, /dev/full) keeps nothing.
    struct stat info {};
    bool const regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    errno = 0;
    bool written = WritePiece(fd, data, size);
    if (!written)
        error = errno;
    if (!written && regular && ftruncate(fd, info.st_size) != 0) {
        // Nothing more can be done; the append is reported as failed either way.
    }
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
        if (regular && truncate(path, info.st_size) != 0) {
            // As above.
        }
    }
    return written ? AppendStatus::Ok : AppendStatus::WriteFailed;
}

} // namespace ril::platform
