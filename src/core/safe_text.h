// Bounded copy, concatenate and format helpers in the manner of strsafe's character-count
// functions: they never write past `capacity` characters and always terminate, except when
// they refuse the call with E_INVALIDARG.
#pragma once

#include "core/result_codes.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace ril::core {

#if defined(__GNUC__)
#define RIL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define RIL_PRINTF_FORMAT(fmt, args)
#endif

// Capacities are characters: bytes for the A forms, 16-bit units for the W forms.
// Results: kSOk, kEInsufficientBuffer (cut to capacity - 1 and terminated), kEInvalidArg.
HResult SafeCopyA(char *destination, std::size_t capacity, char const *source);
HResult SafeCopyW(std::uint16_t *destination, std::size_t capacity, std::uint16_t const *source);
HResult SafeCatA(char *destination, std::size_t capacity, char const *source);
HResult SafeCatW(std::uint16_t *destination, std::size_t capacity, std::uint16_t const *source);

// printf conventions, through the C runtime's vsnprintf.
HResult SafeFormatA(char *destination, std::size_t capacity, char const *format, ...)
    RIL_PRINTF_FORMAT(3, 4);
HResult SafeFormatVA(char *destination, std::size_t capacity, char const *format, va_list args);

// The numbered placeholder "&0%.2u": "&0" and the number in at least two decimal digits,
// cut to the capacity as the other helpers cut (7 gives "&007"; into five characters 4567
// gives "&045" and kEInsufficientBuffer).
HResult FormatPlaceholderA(char *destination, std::size_t capacity, unsigned number);
HResult FormatPlaceholderW(std::uint16_t *destination, std::size_t capacity, unsigned number);

} // namespace ril::core
