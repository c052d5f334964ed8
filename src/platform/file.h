// Buffered files of the C runtime behind a small RAII class, with failure injection.
#pragma once

#include "platform/memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

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

enum class ReadStatus { Ok, CannotOpen, NoMemory, ReadFailed };

ReadStatus ReadWholeFile(const char *path, FileContent &content);

// A whole file in memory, followed by at least the zero bytes its reader asked for: a
// private copy-on-write mapping of the file where those zeros fit in its last page (no copy,
// no fresh memory to clear), else a buffer the file was read into with one read. As with
// every mapped file, the file must not be cut short by another process while it is viewed,
// and on Windows it cannot be replaced until the view is gone: keep views short-lived.
class FileView {
  public:
    FileView() = default;
    FileView(FileView &&other) noexcept { *this = std::move(other); }
    FileView &operator=(FileView &&other) noexcept;
    FileView(const FileView &) = delete;
    FileView &operator=(const FileView &) = delete;
    ~FileView() { Release(); }

    std::uint8_t *Data() const { return mapping_ != nullptr ? mapping_ : buffer_.get(); }
    std::size_t Size() const { return size_; }

  private:
    friend ReadStatus ViewWholeFile(const char *, std::size_t, FileView &);
    void Release();

    Bytes buffer_;
    std::uint8_t *mapping_ = nullptr;
    std::size_t size_ = 0;
};

// CannotOpen, NoMemory (no buffer for it) or ReadFailed; `view` is empty then.
ReadStatus ViewWholeFile(const char *path, std::size_t padding, FileView &view);

// The mapping backends: a private, writable copy-on-write view of the first `size` bytes of a
// file, or null when the file cannot be mapped; and the page size that decides whether the
// zeros behind a file's end fit in its last page.
std::uint8_t *MapFileCopy(const char *path, std::size_t size);
void UnmapFile(std::uint8_t *view, std::size_t size);
std::size_t MappingPageSize();

} // namespace ril::platform
