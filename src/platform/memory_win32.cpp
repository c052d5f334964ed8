// Large blocks on Windows: committed virtual memory, which the system hands out zeroed.
#include "platform/memory.h"

#include <windows.h>

namespace ril::platform {

void *MapBlock(std::size_t size) {
    if (size == 0)
        return nullptr;
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void ReleaseLarge(void *block, std::size_t) {
    if (block != nullptr)
        VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace ril::platform
