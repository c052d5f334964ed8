// Bounded carriage-return replacement for the string getters.
#include "items/record_text.h"

#include <cstring>

namespace ril::items {

bool BlankCarriageReturnsA(std::uint8_t *text, std::size_t available) {
    auto *end = static_cast<std::uint8_t *>(std::memchr(text, 0, available));
    std::uint8_t *stop = end != nullptr ? end : text + available;
    for (std::uint8_t *p = text; (p = static_cast<std::uint8_t *>(std::memchr(
                                      p, '\r', static_cast<std::size_t>(stop - p)))) != nullptr;
         ++p)
        *p = ' ';
    return end != nullptr;
}

bool BlankCarriageReturnsW(std::uint8_t *text, std::size_t available) {
    for (std::size_t i = 0; i + 1 < available; i += 2) {
        if (text[i + 1] != 0)
            continue;
        if (text[i] == 0)
            return true;
        if (text[i] == '\r')
            text[i] = ' ';
    }
    return false;
}

} // namespace ril::items
