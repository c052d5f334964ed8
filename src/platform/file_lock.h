// An exclusive lock on a file for one read-modify-replace or append: advisory (flock) on POSIX,
// where files are replaced by renaming a new file over them; on Windows a handle that admits
// readers and writers but no one who opens the file without sharing, as module commits do.
#pragma once

#include <cstdint>

namespace ril::platform {

// Holds an exclusive lock on the file at a path for one read-modify-replace. A lock won on a
// file that was replaced meanwhile is given up and taken again on the file now at the path,
// so the holder always locks the file that the path names.
class FileLock {
  public:
    // Not held for a null path or a file that cannot be opened.
    explicit FileLock(char const *path);
    ~FileLock();
    FileLock(FileLock const &) = delete;
    FileLock &operator=(FileLock const &) = delete;

    bool Held() const { return handle_ != kNone; }

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

} // namespace ril::platform
