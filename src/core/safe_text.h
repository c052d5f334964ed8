// Bounded copy, concatenate and format helpers in the manner of strsafe's character-count
// functions: they never write past `capacity` characters and always terminate, except when
// they refuse the call with E_INVALIDARG.
#pragma once

#include "core/result_codes.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace ril {

#if defined(__GNUC__)
#define RIL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define RIL_PRINTF_FORMAT(fmt, args)
#endif

// Capacities are characters: bytes for the A forms, 16-bit units for the W forms.
// Results: kSOk, kEInsufficientBuffer (cut to capacity - 1 and terminated), kEInvalidArg.
HResult SafeCopyA(char *destination, std::size_t capacity, const char *source);
HResult SafeCopyW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *source);
HResult SafeCatA(char *destination, std::size_t capacity, const char *source);
HResult SafeCatW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *source);

// printf conventions; in the wide form %s takes a wide string. %u, %d and %x take 32-bit
// integers in both forms.
HResult SafeFormatA(char *destination, std::size_t capacity, const char *format, ...)
    RIL_PRINTF_FORMAT(3, 4);
HResult SafeFormatVA(char *destination, std::size_t capacity, const char *format, va_list args);
HResult SafeFormatW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *format,
                    ...);
HResult SafeFormatVW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *format,
                     va_list args);

} // namespace ril
