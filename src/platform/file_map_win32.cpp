// Private file mappings on Windows: a copy-on-write view of a read-only file mapping.
#include "platform/file.h"

#include <windows.h>

namespace ril::platform {

std::uint8_t *MapFileCopy(const char *path, std::size_t size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    void *view = nullptr;
    LARGE_INTEGER length{};
    if (GetFileSizeEx(file, &length) && static_cast<std::uint64_t>(length.QuadPart) == size) {
        HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_WRITECOPY, 0, 0, nullptr);
        if (mapping != nullptr) {
            view = MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0, size);
            CloseHandle(mapping); // the view keeps the mapping alive
        }
    }
    CloseHandle(file);
    return static_cast<std::uint8_t *>(view);
}

void UnmapFile(std::uint8_t *view, std::size_t) {
    UnmapViewOfFile(view);
}

std::size_t MappingPageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

} // namespace ril::platform
