// Preparing a record's text for the getters: carriage returns become blanks in place, and
// the scan reports whether the text ends inside the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ril::items {

// Multibyte text: true when a zero byte ends it within `available` bytes.
bool BlankCarriageReturnsA(std::uint8_t *text, std::size_t available);
// UTF-16LE text: true when a zero unit ends it within `available` bytes.
bool BlankCarriageReturnsW(std::uint8_t *text, std::size_t available);

} // namespace ril::items
