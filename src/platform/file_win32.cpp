// Files on Windows: exclusive creation (CREATE_NEW), attributes of an open file and
// all-or-nothing appends, through handles.
#include "platform/fault.h"
#include "platform/file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace ril::platform {
namespace {

bool WriteAll(HANDLE file, void const *data, std::size_t size) {
    auto const *bytes = static_cast<std::uint8_t const *>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(file, bytes, chunk, &done, nullptr) || done == 0)
            return false;
        bytes += done;
        size -= done;
    }
    return true;
}

// Writes an appended piece; the failure injection stops a write part way, as a full disk
// does, or fails the close that follows it.
bool WritePiece(HANDLE file, void const *data, std::size_t size) {
    if (ShouldFail(Fault::FileWrite)) {
        WriteAll(file, data, size / 2);
        return false;
    }
    return WriteAll(file, data, size) && !ShouldFail(Fault::FileClose);
}

void CutBack(HANDLE file, LARGE_INTEGER size) {
    if (SetFilePointerEx(file, size, nullptr, FILE_BEGIN))
        SetEndOfFile(file);
}

} // namespace

File File::CreateNew(char const *path, bool &taken) {
    taken = false;
    if (path == nullptr || ShouldFail(Fault::FileOpen))
        return File();
    HANDLE handle =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return File();
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(path);
        return File();
    }
    std::FILE *stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        DeleteFileA(path);
    }
    return File(stream);
}

void File::MatchPermissions(char const *target) {
    if (stream_ == nullptr)
        return;
    DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return; // a new file keeps the attributes it was created with
    DWORD kept =
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    FILE_BASIC_INFO info{}; // zero times: left as they are
    info.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_)));
    SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info);
}

bool File::IsFolder() const {
    return false; // a folder cannot be opened as a stream
}

AppendStatus AppendToFile(char const *path, void const *data, std::size_t size, AppendMode mode,
                          int *systemError) {
    int ignored = 0;
    int &error = systemError != nullptr ? *systemError : ignored;
    error = 0;
    if (path == nullptr || ShouldFail(Fault::FileOpen))
        return AppendStatus::CannotOpen;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              mode == AppendMode::CreateIfMissing ? OPEN_ALWAYS : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = static_cast<int>(GetLastError());
        return AppendStatus::CannotOpen;
    }
    // Only a disk file has a size to go back to; a device keeps nothing.
    LARGE_INTEGER before{};
    bool const sized = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &before);
    LARGE_INTEGER zero{};
    SetLastError(0);
    bool written =
        (!sized || SetFilePointerEx(file, zero, nullptr, FILE_END)) && WritePiece(file, data, size);
    if (!written)
        error = static_cast<int>(GetLastError());
    if (!written && sized)
        CutBack(file, before);
    if (!CloseHandle(file) && written) {
        written = false;
        error = static_cast<int>(GetLastError());
    }
    return written ? AppendStatus::Ok : AppendStatus::WriteFailed;
}

} // namespace ril::platform
