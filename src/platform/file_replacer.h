// Writes a file so that the target is either replaced completely or left untouched: the
// bytes go to a temporary file beside the target, which is renamed over it at the end. The
// temporary file has a random name of its own length (".ril~" 16 hex digits ".tmp", whatever
// the target's name) and is created exclusively for the owner alone, so that nothing planted
// in the folder (a file, a symbolic link) can take its place.
#pragma once

#include "platform/file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ril::platform {

enum class ReplaceStatus {
    Ok,          // the target holds the new bytes (or, IfChanged, already held them)
    CannotOpen,  // the temporary file beside the target cannot be created
    WriteFailed, // writing, closing or renaming failed; the target is unchanged
};

enum class ReplaceMode {
    Always,    // the target is replaced by the new file
    IfChanged, // a target that holds the same bytes is left untouched (bytes, times, inode)
};

// One buffered writer for one file: the output is produced piece by piece through a buffer
// of its own and written in large blocks, never held whole in memory.
class FileReplacer {
  public:
    // The largest piece that Room() hands out.
    static constexpr std::size_t kBufferSize = std::size_t{256} << 10;

    // Creates the temporary file beside the file the target leads to (a symbolic link is
    // followed, so the file is replaced and the link kept); check IsOpen().
    explicit FileReplacer(char const *target, ReplaceMode mode = ReplaceMode::Always);
    // Removes the temporary file unless Commit() put it in place.
    ~FileReplacer();
    FileReplacer(FileReplacer const &) = delete;
    FileReplacer &operator=(FileReplacer const &) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    void Write(void const *data, std::size_t size);
    // Room for `size` (at most kBufferSize) bytes, which the caller fills and then passes
    // to Advance() with the number of bytes it used.
    char *Room(std::size_t size) {
        if (size > kBufferSize - used_)
            Flush();
        return buffer_.get() + used_;
    }
    void Advance(std::size_t size) { used_ += size; }
    // Writes what is buffered, closes the file and renames it over the target. The result has
    // the target's permissions, or for a new target those of a plain create (0666 less the
    // umask). Ok, or WriteFailed when any write failed on the way. IfChanged: a target with
    // the same bytes stays as it is and the temporary file goes.
    ReplaceStatus Commit();
    // The system's code for the first failure (creating, writing, closing or renaming the
    // file), or 0.
    int SystemError() const { return systemError_; }

  private:
    void NoteFailure();
    void Flush();

    std::string target_;
    std::string temporary_;
    platform::File file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
    bool committed_ = false;
    ReplaceMode mode_ = ReplaceMode::Always;
    int systemError_ = 0;
};

// `systemError`, when given, receives FileReplacer::SystemError().
ReplaceStatus ReplaceFileContent(char const *target, std::uint8_t const *data, std::size_t size,
                                 int *systemError = nullptr,
                                 ReplaceMode mode = ReplaceMode::Always);

} // namespace ril::platform
