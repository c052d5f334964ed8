// Large blocks on POSIX: anonymous mappings, aligned to huge-page boundaries and marked for
// huge pages where the system has them (Linux).
#include "platform/memory.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace ril::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t PageSize() {
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t RoundUp(std::size_t size, std::size_t unit) {
    return (size + unit - 1) / unit * unit;
}

// Large blocks span whole huge pages, so that all of a block can be backed by them; what the
// caller does not use is never touched and costs no memory.
std::size_t MappedLength(std::size_t size) {
    return RoundUp(size, size >= kLargeBlockThreshold ? kHugePage : PageSize());
}

} // namespace

void *MapBlock(std::size_t size) {
    if (size == 0 || size > SIZE_MAX - 2 * kHugePage)
        return nullptr;
    const std::size_t length = MappedLength(size);
    // Map a huge page more than needed, then give back the unaligned head and the tail.
    const std::size_t mapped = length + kHugePage;
    void *raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    auto const base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(base, kHugePage);
    if (aligned > base)
        munmap(raw, aligned - base);
    const std::uintptr_t end = base + mapped;
    if (end > aligned + length)
        munmap(reinterpret_cast<void *>(aligned + length), end - (aligned + length));
#ifdef MADV_HUGEPAGE
    if (length >= kHugePage)
        madvise(reinterpret_cast<void *>(aligned), length, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void *>(aligned);
}

void ReleaseLarge(void *block, std::size_t size) {
    if (block != nullptr)
        munmap(block, MappedLength(size));
}

} // namespace ril::platform
