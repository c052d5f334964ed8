// String combination: a value string in place of the placeholder "&0NN" of a text.
#pragma once

#include "core/result_codes.h"

#include <cstddef>
#include <cstdint>

namespace ril::text {

// Replaces the first "&0" + two-digit `number` in `text` by `value`, keeping what follows,
// within `size` characters of `text`. kSOk (also when `size` is 0 or beyond 0x7FFFFFFF: the
// text is left unchanged), kEFail for a null text or value or no placeholder, kEOutOfMemory.
core::HResult CombineString(char *text, char const *value, unsigned number, std::size_t size);
core::HResult CombineString(std::uint16_t *text, std::uint16_t const *value, unsigned number,
                            std::size_t size);

} // namespace ril::text
