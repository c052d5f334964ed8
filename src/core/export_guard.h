// Keeps exceptions from crossing the exported C boundary: every export runs its body
// through Guarded and answers `onError` if anything escapes.
#pragma once

#include <new>
#include <utility>

namespace ril::core {

template <typename Result, typename Body> Result Guarded(Result onError, Body &&body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onError;
    }
}

template <typename Body> void GuardedVoid(Body &&body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

} // namespace ril::core
