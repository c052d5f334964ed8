// File-system operations on POSIX: rename(2) replaces the target atomically; files are the
// same when their device and inode are.
#include "platform/fs.h"

#include "platform/path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace ril::platform {
namespace {

constexpr int kMaxLinks = 40; // as the kernel's own limit (ELOOP)

// The target of the symbolic link at `path`; false when it cannot be read.
bool ReadLink(std::string const &path, std::size_t sizeHint, std::string &target) {
    target.assign(sizeHint + 1, '\0');
    for (;;) {
        ssize_t got = readlink(path.c_str(), target.data(), target.size());
        if (got < 0)
            return false;
        if (static_cast<std::size_t>(got) < target.size()) {
            target.resize(static_cast<std::size_t>(got));
            return true;
        }
        target.assign(target.size() * 2, '\0'); // the link grew meanwhile
    }
}

} // namespace

bool RemoveFile(char const *path) {
    return path != nullptr && std::remove(path) == 0;
}

bool ReplaceFile(char const *source, char const *target) {
    return std::rename(source, target) == 0;
}

bool CanReplace(char const *path) {
    struct stat info {};
    if (stat(path, &info) != 0)
        return errno == ENOENT;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR; // the reason a caller reports
        return false;
    }
    return access(path, W_OK) == 0;
}

bool SameFile(char const *a, char const *b) {
    struct stat first {};
    struct stat second {};
    return a != nullptr && b != nullptr && stat(a, &first) == 0 && stat(b, &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string FinalPath(char const *path) {
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target;
        if (!ReadLink(current, static_cast<std::size_t>(info.st_size), target) || target.empty())
            return std::string();
        if (target[0] == '/')
            current = target;
        else
            current = current.substr(0, FileNameOffset(current)) + target;
    }
    return std::string();
}

} // namespace ril::platform
