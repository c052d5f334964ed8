// Bounded copy, concatenate and format helpers (strsafe character-count semantics), and the
// placeholder the combine functions look for.
#include "core/safe_text.h"

#include <cstdio>
#include <type_traits>

namespace ril::core {
namespace {

constexpr std::size_t kMaxCapacity = 0x7FFFFFFF;

bool ValidCapacity(std::size_t capacity) {
    return capacity != 0 && capacity <= kMaxCapacity;
}

// Copies at most capacity - 1 characters and a terminator; capacity must be valid.
// A null source counts as an empty text. A narrow source widens byte by byte.
template <typename Char, typename Source>
HResult CopyBounded(Char *destination, std::size_t capacity, Source const *source) {
    std::size_t i = 0;
    for (; source != nullptr && i < capacity && source[i] != 0; ++i)
        destination[i] = static_cast<Char>(static_cast<std::make_unsigned_t<Source>>(source[i]));
    if (i == capacity) {
        destination[capacity - 1] = 0;
        return kEInsufficientBuffer;
    }
    destination[i] = 0;
    return kSOk;
}

template <typename Char> HResult Copy(Char *destination, std::size_t capacity, Char const *source) {
    if (destination == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    return CopyBounded(destination, capacity, source);
}

template <typename Char> HResult Cat(Char *destination, std::size_t capacity, Char const *source) {
    if (destination == nullptr || capacity > kMaxCapacity)
        return kEInvalidArg;
    std::size_t length = 0;
    while (length < capacity && destination[length] != 0)
        ++length;
    if (length == capacity) // no terminator within the capacity (capacity 0 included)
        return kEInvalidArg;
    return CopyBounded(destination + length, capacity - length, source);
}

template <typename Char>
HResult Placeholder(Char *destination, std::size_t capacity, unsigned number) {
    if (destination == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    char text[16]; // "&0" and at most ten digits
    std::snprintf(text, sizeof text, "&0%.2u", number);
    return CopyBounded(destination, capacity, text);
}

} // namespace

HResult SafeCopyA(char *destination, std::size_t capacity, char const *source) {
    return Copy(destination, capacity, source);
}

HResult SafeCopyW(std::uint16_t *destination, std::size_t capacity, std::uint16_t const *source) {
    return Copy(destination, capacity, source);
}

HResult SafeCatA(char *destination, std::size_t capacity, char const *source) {
    return Cat(destination, capacity, source);
}

HResult SafeCatW(std::uint16_t *destination, std::size_t capacity, std::uint16_t const *source) {
    return Cat(destination, capacity, source);
}

HResult SafeFormatA(char *destination, std::size_t capacity, char const *format, ...) {
    va_list args;
    va_start(args, format);
    HResult result = SafeFormatVA(destination, capacity, format, args);
    va_end(args);
    return result;
}

HResult SafeFormatVA(char *destination, std::size_t capacity, char const *format, va_list args) {
    if (destination == nullptr || format == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    // vsnprintf keeps at most capacity - 1 bytes and terminates; it returns the full length,
    // or a negative count when it cannot format.
    int length = std::vsnprintf(destination, capacity, format, args);
    if (length < 0 || static_cast<std::size_t>(length) > capacity - 1) {
        destination[capacity - 1] = 0;
        return kEInsufficientBuffer;
    }
    return kSOk;
}

HResult FormatPlaceholderA(char *destination, std::size_t capacity, unsigned number) {
    return Placeholder(destination, capacity, number);
}

HResult FormatPlaceholderW(std::uint16_t *destination, std::size_t capacity, unsigned number) {
    return Placeholder(destination, capacity, number);
}

} // namespace ril::core
