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

// Rows: seconds as text and their date: the leap day of a century year divisible by 400, the
// day after February of a century year that is no leap year, the last second accepted (the
// tool's runs check an ordinary date).
TEST(PlatformClock, EpochSecondsBecomeTheirUtcDate) {
    using Row = std::tuple<char const *, std::uint64_t, std::vector<unsigned>>;
    for (auto const &[text, seconds, date] : std::vector<Row>{
             {"951827696", 951827696, {2000, 2, 29, 12, 34, 56}},
             {"4107542400", 4107542400, {2100, 3, 1, 0, 0, 0}},
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
