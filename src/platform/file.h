// Files: the C runtime's buffered streams behind a small RAII class, whole-file reads and
// all-or-nothing appends, with failure injection.
#pragma once

#include "platform/memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <utility>

namespace ril::platform {

class File {
  public:
    enum class Origin { Begin, Current, End };

    File() = default;
    File(File &&other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    File &operator=(File &&other) noexcept;
    File(File const &) = delete;
    File &operator=(File const &) = delete;
    ~File();

    // Opens with a C runtime mode ("rb", "wb", "a+", "ab+" ...); check with IsOpen().
    static File Open(char const *path, char const *mode);
    // Creates a new file for writing, readable and writable by its owner alone. Fails when
    // the name is taken in any form (a file, a symbolic link, even a dangling one), and then
    // sets `taken`; it never opens anything that existed before.
    static File CreateNew(char const *path, bool &taken);

    bool IsOpen() const { return stream_ != nullptr; }
    // True when the open file is a folder (which POSIX lets a stream open, but not read).
    bool IsFolder() const;
    // Reads up to `size` bytes; returns how many were read.
    std::size_t Read(void *buffer, std::size_t size);
    // Writes all `size` bytes or reports failure.
    bool Write(void const *data, std::size_t size);
    bool Seek(std::int64_t offset, Origin origin);
    std::int64_t Tell();
    // The file's length in bytes, or -1; the position is kept.
    std::int64_t Length();
    // Gives the open file the permissions of `target`, or those a plain create would give
    // (0666 less the umask) when `target` does not exist; best effort.
    void MatchPermissions(char const *target);
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

// Told of a whole-file read's progress: after each part, the buffer, the file's length and
// how many bytes have been read so far, so a reader can parse them while they are in cache.
class ReadProgress {
  public:
    virtual void Read(std::uint8_t const *bytes, std::size_t size, std::size_t done) = 0;

  protected:
    ~ReadProgress() = default;
};

// Where a whole file's buffer comes from: the heap, which a program that reads files again and
// again reuses, or for a large file a large block (huge pages where the system has them), which
// a program that reads one file once fills with far fewer page faults.
enum class ReadBuffer { Heap, LargeBlock };

// As ViewWholeFile, without padding, read in parts of a few hundred KiB into one buffer; a
// short read ends the content there.
ReadStatus ReadWholeFile(char const *path, FileContent &content, ReadProgress *progress = nullptr,
                         int *systemError = nullptr, ReadBuffer buffer = ReadBuffer::Heap);

// Told of a file read in parts into a buffer the sink keeps: Room() is where the next part
// goes (empty: no memory for it), Filled() that `count` bytes arrived there and whether they
// end the file; Filled() returns false to stop the read.
class PartSink {
  public:
    virtual std::span<std::uint8_t> Room() = 0;
    virtual bool Filled(std::size_t count, bool last) = 0;

  protected:
    ~PartSink() = default;
};

// Reads the file as ReadWholeFile does (as long as it was when opened; a short read ends it),
// each part into the sink's room, so that a reader can keep a small buffer in the cache
// instead of the whole file. Filled() is called at least once, last with `last` set, unless
// the read fails first: CannotOpen, NoMemory (also an empty room) or ReadFailed (a folder).
ReadStatus ReadFileInParts(char const *path, PartSink &sink, int *systemError = nullptr);

// A whole file read into memory with one read, followed by at least the zero bytes its
// reader asked for. The bytes are a private copy: the file may change or be cut short
// meanwhile without harm to the reader.
class FileView {
  public:
    FileView() = default;
    FileView(FileView &&other) noexcept { *this = std::move(other); }
    FileView &operator=(FileView &&other) noexcept;
    FileView(FileView const &) = delete;
    FileView &operator=(FileView const &) = delete;

    std::uint8_t *Data() const { return buffer_.get(); }
    std::size_t Size() const { return size_; }

  private:
    friend ReadStatus ViewWholeFile(char const *, std::size_t, FileView &, int *);

    Bytes buffer_;
    std::size_t size_ = 0;
};

// CannotOpen, NoMemory (no buffer for it) or ReadFailed (also a file cut short while it is
// read, and a folder); `view` is empty then. `systemError`, when given, receives the
// system's code for a failure (EISDIR for a folder; 0 when there is none).
ReadStatus ViewWholeFile(char const *path, std::size_t padding, FileView &view,
                         int *systemError = nullptr);

enum class AppendMode { ExistingOnly, CreateIfMissing };
enum class AppendStatus { Ok, CannotOpen, WriteFailed };

// Appends `size` bytes to the end of a file as one piece: either all of them are added, or
// the file is cut back to the size it had before (a write, flush or close that failed, a full
// disk, a file-size limit). ExistingOnly never creates the file. On failure `systemError`,
// when given, receives the system's code for it (0 for an injected failure).
AppendStatus AppendToFile(char const *path, void const *data, std::size_t size, AppendMode mode,
                          int *systemError = nullptr);

} // namespace ril::platform
