// Reading a moment in seconds and turning it into a UTC calendar time.
#include "platform/clock.h"

namespace ril::platform {
namespace {

constexpr std::uint64_t kSecondsPerDay = 86400;
constexpr std::uint64_t kLastSecond = 253402300799; // 9999-12-31 23:59:59 UTC

} // namespace

std::optional<std::uint64_t> ParseEpochSeconds(char const *text) {
    if (text == nullptr || *text == '\0')
        return std::nullopt;
    std::uint64_t seconds = 0;
    for (char const *digit = text; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9')
            return std::nullopt;
        seconds = seconds * 10 + static_cast<std::uint64_t>(*digit - '0');
        if (seconds > kLastSecond)
            return std::nullopt;
    }
    return seconds;
}

LocalTime UtcTimeOf(std::uint64_t seconds) {
    // Days to a civil date in the proleptic Gregorian calendar, counted in 400-year eras of
    // 146097 days from 0000-03-01, so that a leap day ends each year.
    std::uint64_t const days = seconds / kSecondsPerDay + 719468;
    std::uint64_t const inDay = seconds % kSecondsPerDay;
    std::uint64_t const era = days / 146097;
    std::uint64_t const dayOfEra = days - era * 146097;
    std::uint64_t const yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::uint64_t const dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::uint64_t const shiftedMonth = (5 * dayOfYear + 2) / 153; // 0 is March
    std::uint64_t const day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    std::uint64_t const month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    std::uint64_t const year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return LocalTime{static_cast<unsigned>(year),
                     static_cast<unsigned>(month),
                     static_cast<unsigned>(day),
                     static_cast<unsigned>(inDay / 3600),
                     static_cast<unsigned>(inDay / 60 % 60),
                     static_cast<unsigned>(inDay % 60)};
}

} // namespace ril::platform
