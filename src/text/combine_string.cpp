// String combination: replaces the first numbered placeholder "&0NN" in a caller's buffer by
// a value string, in place and within the buffer's size.
#include "text/combine_string.h"

#include "core/allocate.h"
#include "core/safe_text.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ril::text {
namespace {

constexpr std::size_t kPlaceholderLength = 4;
constexpr std::size_t kMaxSize = 0x7FFFFFFF;

using Wide = std::uint16_t;

core::HResult Copy(char *d, std::size_t n, char const *s) {
    return core::SafeCopyA(d, n, s);
}
core::HResult Copy(Wide *d, std::size_t n, Wide const *s) {
    return core::SafeCopyW(d, n, s);
}
core::HResult Cat(char *d, std::size_t n, char const *s) {
    return core::SafeCatA(d, n, s);
}
core::HResult Cat(Wide *d, std::size_t n, Wide const *s) {
    return core::SafeCatW(d, n, s);
}

// "&0%.2u" into five characters: numbers of three or more digits are cut to four characters.
void FormatPlaceholder(char (&placeholder)[kPlaceholderLength + 1], unsigned number) {
    core::FormatPlaceholderA(placeholder, kPlaceholderLength + 1, number);
}

void FormatPlaceholder(Wide (&placeholder)[kPlaceholderLength + 1], unsigned number) {
    core::FormatPlaceholderW(placeholder, kPlaceholderLength + 1, number);
}

template <typename Char> std::size_t Length(Char const *text) {
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

// The first occurrence of the four-character placeholder in text, or null.
template <typename Char> Char *Find(Char *text, Char const *placeholder) {
    for (Char *p = text; *p != 0; ++p) {
        std::size_t i = 0;
        while (i < kPlaceholderLength && p[i] == placeholder[i])
            ++i;
        if (i == kPlaceholderLength)
            return p;
    }
    return nullptr;
}

// A copy of the tail in a buffer of its length + 2 characters; null when memory fails.
template <typename Char> std::unique_ptr<Char[]> SaveTail(Char const *tail) {
    const std::size_t capacity = Length(tail) + 2;
    std::unique_ptr<Char[]> saved = core::NewArray<Char>(capacity);
    if (saved)
        Copy(saved.get(), capacity, tail);
    return saved;
}

template <typename Char>
core::HResult Combine(Char *text, Char const *value, unsigned number, std::size_t size) {
    if (text == nullptr || value == nullptr)
        return core::kEFail;
    Char placeholder[kPlaceholderLength + 1] = {};
    FormatPlaceholder(placeholder, number);
    Char *found = Find(text, placeholder);
    if (found == nullptr)
        return core::kEFail;
    Char const *tail = found + kPlaceholderLength;
    std::unique_ptr<Char[]> saved;
    if (*tail != 0) {
        saved = SaveTail(tail);
        if (!saved)
            return core::kEOutOfMemory;
    }
    // A size the bounded helpers refuse leaves the text unchanged; the result stays 0.
    if (size == 0 || size > kMaxSize)
        return core::kSOk;
    auto const offset = static_cast<std::size_t>(found - text);
    // When size does not reach past the placeholder's offset there is no room: the copy is
    // refused (room 0) and the concatenation finds no terminator within size.
    Copy(found, size > offset ? size - offset : 0, value);
    if (saved)
        Cat(text, size, saved.get());
    return core::kSOk;
}

} // namespace

core::HResult CombineString(char *text, char const *value, unsigned number, std::size_t size) {
    return Combine(text, value, number, size);
}

core::HResult CombineString(std::uint16_t *text, std::uint16_t const *value, unsigned number,
                            std::size_t size) {
    return Combine(text, value, number, size);
}

} // namespace ril::text
