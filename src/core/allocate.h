// Allocation of the library's objects and arrays. Each of the four helpers here (NewArray,
// NewObject, AllocateZeroed, TryAllocate) passes the Alloc fault point first, as the
// platform's large blocks and whole-file reads do, and reports memory that cannot be had as
// an empty result (null, or false), never by throwing.
#pragma once

#include "platform/fault.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace ril::core {

namespace detail {
inline bool AllocationRefused() {
    return platform::ShouldFail(platform::Fault::Alloc);
}
} // namespace detail

// `count` value-initialised elements (zeros for trivial types); null when memory fails.
template <class T> std::unique_ptr<T[]> NewArray(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T) || detail::AllocationRefused())
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// One object built from `args`; null when memory fails.
template <class T, class... Args> std::unique_ptr<T> NewObject(Args &&...args) {
    if (detail::AllocationRefused())
        return nullptr;
    return std::unique_ptr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}

struct FreeRelease {
    void operator()(void *block) const { std::free(block); }
};
template <class T> using ZeroedBlock = std::unique_ptr<T[], FreeRelease>;

// `count` zeroed elements from calloc: large blocks come zeroed from the system without being
// touched, so sparse tables cost only the pages they use. Null when memory fails.
template <class T> ZeroedBlock<T> AllocateZeroed(std::size_t count) {
    static_assert(std::is_trivial_v<T>, "zero bytes must be a valid T");
    if (count > SIZE_MAX / sizeof(T) || detail::AllocationRefused())
        return nullptr;
    return ZeroedBlock<T>(static_cast<T *>(std::calloc(count == 0 ? 1 : count, sizeof(T))));
}

// Runs `allocate`, which takes memory from an arena or a standard container and throws
// std::bad_alloc when it cannot; returns its result, or a value-initialised one (null,
// false) when memory fails.
template <class F> auto TryAllocate(F &&allocate) -> decltype(allocate()) {
    if (detail::AllocationRefused())
        return {};
    try {
        return allocate();
    } catch (std::bad_alloc const &) {
        return {};
    }
}

} // namespace ril::core
