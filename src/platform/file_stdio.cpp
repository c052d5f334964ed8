// File access through the C runtime's buffered streams (the same on every platform).
#include "platform/file.h"

#include "platform/fault.h"
#include "platform/system_error.h"

#include <cerrno>

#include <cstring>
#include <new>

namespace ril::platform {
namespace {
int ToWhence(File::Origin origin) {
    switch (origin) {
    case File::Origin::Begin:
        return SEEK_SET;
    case File::Origin::Current:
        return SEEK_CUR;
    case File::Origin::End:
        break;
    }
    return SEEK_END;
}

#if defined(_WIN32)
int Seek64(std::FILE *f, std::int64_t offset, int whence) {
    return _fseeki64(f, offset, whence);
}
std::int64_t Tell64(std::FILE *f) {
    return _ftelli64(f);
}
#else
int Seek64(std::FILE *f, std::int64_t offset, int whence) {
    return fseeko(f, static_cast<off_t>(offset), whence);
}
std::int64_t Tell64(std::FILE *f) {
    return ftello(f);
}
#endif
} // namespace

File &File::operator=(File &&other) noexcept {
    if (this != &other) {
        Close();
        stream_ = other.stream_;
        other.stream_ = nullptr;
    }
    return *this;
}

File::~File() {
    Close();
}

File File::Open(char const *path, char const *mode) {
    if (path == nullptr || ShouldFail(Fault::FileOpen))
        return File();
    return File(std::fopen(path, mode));
}

std::size_t File::Read(void *buffer, std::size_t size) {
    if (stream_ == nullptr || size == 0 || ShouldFail(Fault::FileRead))
        return 0;
    return std::fread(buffer, 1, size, stream_);
}

bool File::Write(void const *data, std::size_t size) {
    if (stream_ == nullptr || ShouldFail(Fault::FileWrite))
        return false;
    return size == 0 || std::fwrite(data, 1, size, stream_) == size;
}

bool File::Seek(std::int64_t offset, Origin origin) {
    return stream_ != nullptr && Seek64(stream_, offset, ToWhence(origin)) == 0;
}

std::int64_t File::Tell() {
    return stream_ == nullptr ? -1 : Tell64(stream_);
}

std::int64_t File::Length() {
    std::int64_t here = Tell();
    if (here < 0 || !Seek(0, Origin::End))
        return -1;
    std::int64_t length = Tell();
    if (!Seek(here, Origin::Begin))
        return -1;
    return length;
}

bool File::Close() {
    if (stream_ == nullptr)
        return true;
    bool ok = std::fflush(stream_) == 0;
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    return ok && !ShouldFail(Fault::FileClose);
}

namespace {

// Opens a file for a whole-file read and measures it; its size and `padding` more must fit
// in memory (a use of the Alloc fault: the buffer about to be made). `error` receives the
// system's code for a failure to open or measure it, or EISDIR for a folder.
ReadStatus OpenWhole(char const *path, std::size_t padding, File &file, std::size_t &size,
                     int &error) {
    ClearSystemError();
    file = File::Open(path, "rb");
    if (!file.IsOpen()) {
        error = LastSystemError();
        return ReadStatus::CannotOpen;
    }
    if (file.IsFolder()) {
        error = EISDIR;
        return ReadStatus::ReadFailed;
    }
    std::int64_t length = file.Length();
    if (length < 0) {
        error = LastSystemError();
        return ReadStatus::CannotOpen;
    }
    if (static_cast<std::uint64_t>(length) > SIZE_MAX - padding || ShouldFail(Fault::Alloc))
        return ReadStatus::NoMemory;
    size = static_cast<std::size_t>(length);
    return ReadStatus::Ok;
}

// A view's buffer, uninitialised: a large one in huge pages, where a one-off import would
// otherwise take a page fault for every 4 KiB it reads; a small one from the heap.
Bytes ViewBuffer(std::size_t size) {
    if (size < kLargeBlockThreshold)
        return Bytes(new (std::nothrow) std::uint8_t[size], BytesRelease{0});
    return Bytes(static_cast<std::uint8_t *>(MapBlock(size)), BytesRelease{size});
}

} // namespace

ReadStatus ReadWholeFile(char const *path, FileContent &content, ReadProgress *progress,
                         int *systemError, ReadBuffer buffer) {
    int ignored = 0;
    int &error = systemError != nullptr ? *systemError : ignored;
    error = 0;
    content = FileContent();
    File file;
    std::size_t size = 0;
    if (ReadStatus status = OpenWhole(path, 0, file, size, error); status != ReadStatus::Ok)
        return status;
    // Uninitialised on purpose: every byte kept is overwritten by the read. The heap unless
    // asked otherwise: a table loaded again and again reuses the same memory.
    content.bytes =
        buffer == ReadBuffer::LargeBlock
            ? ViewBuffer(size > 0 ? size : 1)
            : Bytes(new (std::nothrow) std::uint8_t[size > 0 ? size : 1], BytesRelease{0});
    if (!content.bytes)
        return ReadStatus::NoMemory;
    // Parts small enough to stay in the second-level cache until the progress has seen them.
    constexpr std::size_t kPart = std::size_t{256} << 10;
    std::size_t done = 0;
    while (done < size) {
        std::size_t wanted = size - done < kPart ? size - done : kPart;
        std::size_t got = file.Read(content.bytes.get() + done, wanted);
        done += got;
        if (got != wanted)
            break;
        if (progress != nullptr)
            progress->Read(content.bytes.get(), size, done);
    }
    content.size = done;
    return ReadStatus::Ok;
}

ReadStatus ReadFileInParts(char const *path, PartSink &sink, int *systemError) {
    int ignored = 0;
    int &error = systemError != nullptr ? *systemError : ignored;
    error = 0;
    File file;
    std::size_t left = 0;
    if (ReadStatus status = OpenWhole(path, 0, file, left, error); status != ReadStatus::Ok)
        return status;
    for (;;) {
        const std::span<std::uint8_t> room = sink.Room();
        if (room.empty())
            return ReadStatus::NoMemory;
        const std::size_t wanted = left < room.size() ? left : room.size();
        const std::size_t got = file.Read(room.data(), wanted);
        left -= got;
        bool const last = got != wanted || left == 0;
        if (!sink.Filled(got, last) || last)
            return ReadStatus::Ok;
    }
}

FileView &FileView::operator=(FileView &&other) noexcept {
    if (this != &other) {
        buffer_ = std::move(other.buffer_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ReadStatus ViewWholeFile(char const *path, std::size_t padding, FileView &view, int *systemError) {
    int ignored = 0;
    int &error = systemError != nullptr ? *systemError : ignored;
    error = 0;
    view = FileView();
    File file;
    std::size_t size = 0;
    if (ReadStatus status = OpenWhole(path, padding, file, size, error); status != ReadStatus::Ok)
        return status;
    view.buffer_ = ViewBuffer(size + padding);
    if (!view.buffer_)
        return ReadStatus::NoMemory;
    std::memset(view.buffer_.get() + size, 0, padding);
    ClearSystemError();
    if (size > 0 && file.Read(view.buffer_.get(), size) != size) {
        error = LastSystemError();
        view = FileView();
        return ReadStatus::ReadFailed;
    }
    view.size_ = size;
    return ReadStatus::Ok;
}

} // namespace ril::platform
