// The clock behind the time stamps of written files: the local wall-clock time, and the UTC
// calendar time of a moment given in seconds (SOURCE_DATE_EPOCH, for reproducible builds).
#pragma once

#include <cstdint>
#include <optional>

namespace ril::platform {

struct LocalTime {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The system's local wall-clock time (one backend per system).
LocalTime SystemLocalTime();

// SOURCE_DATE_EPOCH's value read as decimal seconds since 1970-01-01 00:00:00 UTC: only
// digits, at most 9999-12-31 23:59:59; nothing for a null, empty or malformed text.
std::optional<std::uint64_t> ParseEpochSeconds(char const *text);

// The calendar date and time in UTC of `seconds` since 1970-01-01 00:00:00 UTC.
LocalTime UtcTimeOf(std::uint64_t seconds);

} // namespace ril::platform
