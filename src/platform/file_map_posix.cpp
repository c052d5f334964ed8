// Private file mappings on POSIX: mmap of a descriptor opened for reading.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ril::platform {

std::uint8_t *MapFileCopy(const char *path, std::size_t size) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    void *view = MAP_FAILED;
    // Only a regular file of the size the caller measured: the zeros behind its end are then
    // where the caller expects them.
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::uint64_t>(status.st_size) == size)
        view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    close(fd);
    return view == MAP_FAILED ? nullptr : static_cast<std::uint8_t *>(view);
}

void UnmapFile(std::uint8_t *view, std::size_t size) {
    munmap(view, size);
}

std::size_t MappingPageSize() {
    static const auto size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace ril::platform
