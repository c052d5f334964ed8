// Buffered files of the C runtime behind a small RAII class, with failure injection.
#pragma once

#include "platform/memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace ril::platform {

class File {
  public:
    enum class Origin { Begin, Current, End };

    File() = default;
    File(File &&other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    File &operator=(File &&other) noexcept;
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    ~File();

    // Opens with a C runtime mode ("rb", "wb", "a+", "ab+" ...); check with IsOpen().
    static File Open(const char *path, const char *mode);

    bool IsOpen() const { return stream_ != nullptr; }
    // Reads up to `size` bytes; returns how many were read.
    std::size_t Read(void *buffer, std::size_t size);
    // Writes all `size` bytes or reports failure.
    bool Write(const void *data, std::size_t size);
    bool Seek(std::int64_t offset, Origin origin);
    std::int64_t Tell();
    // The file's length in bytes, or -1; the position is kept.
    std::int64_t Length();
    // Flushes and closes; false when anything buffered could not be written.
    bool Close();

  private:
    explicit File(std::FILE *stream) : stream_(stream) {}
    std::FILE *stream_ = nullptr;
};

// The whole content of a file, read with one read.
struct FileContent {
    Bytes bytes;
    std::size_t size = 0;
};

enum class ReadStatus { Ok, CannotOpen, NoMemory };

ReadStatus ReadWholeFile(const char *path, FileContent &content);

} // namespace ril::platform
