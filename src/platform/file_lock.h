// An exclusive advisory lock on a file that is replaced by renaming a new file over it.
#pragma once

namespace ril::platform {

// Holds an exclusive lock on the file at a path for one read-modify-replace. A lock won on a
// file that was replaced meanwhile is given up and taken again on the file now at the path,
// so the holder always locks the file that the path names.
class FileLock {
  public:
    explicit FileLock(char const *path);
    ~FileLock();
    FileLock(FileLock const &) = delete;
    FileLock &operator=(FileLock const &) = delete;

    bool Held() const { return handle_ >= 0; }

  private:
    int handle_ = -1;
};

} // namespace ril::platform
