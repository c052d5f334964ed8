// The stamping clock: SOURCE_DATE_EPOCH's seconds read strictly and turned into a UTC date.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace ril::platform {
namespace {

std::vector<unsigned> Fields(LocalTime time) {
    return {time.year, time.month, time.day, time.hour, time.minute, time.second};
}

// Rows: seconds as text and their date: the epoch, leap days of a century year divisible by
// 400 and of an ordinary leap year, the day after February of a century year that is no leap
// year, a year's last second, the last second accepted.
TEST(PlatformClock, EpochSecondsBecomeTheirUtcDate) {
    using Row = std::tuple<char const *, std::uint64_t, std::vector<unsigned>>;
    for (auto const &[text, seconds, date] : std::vector<Row>{
             {"0", 0, {1970, 1, 1, 0, 0, 0}},
             {"951827696", 951827696, {2000, 2, 29, 12, 34, 56}},
             {"1709164800", 1709164800, {2024, 2, 29, 0, 0, 0}},
             {"4107542400", 4107542400, {2100, 3, 1, 0, 0, 0}},
             {"1798761599", 1798761599, {2026, 12, 31, 23, 59, 59}},
             {"253402300799", 253402300799, {9999, 12, 31, 23, 59, 59}},
         })
        EXPECT_EQ(std::pair(ParseEpochSeconds(text), Fields(UtcTimeOf(seconds))),
                  std::pair(std::optional<std::uint64_t>(seconds), date));
}

TEST(PlatformClock, OnlyPlainDecimalSecondsAreAnEpoch) {
    for (char const *bad :
         {"", " 1", "1 ", "-1", "+1", "1e9", "0x10", "253402300800", "99999999999999999999999"})
        EXPECT_EQ(ParseEpochSeconds(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseEpochSeconds(nullptr), std::nullopt);
}

} // namespace
} // namespace ril::platform
