// The stamping clock: SOURCE_DATE_EPOCH's seconds read strictly (the write-settings and the
// tool's tests pin the date that seconds give).
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace ril::platform {
namespace {

TEST(PlatformClock, OnlyPlainDecimalSecondsAreAnEpoch) {
    for (char const *bad :
         {"", " 1", "1 ", "-1", "+1", "1e9", "0x10", "253402300800", "99999999999999999999999"})
        EXPECT_EQ(ParseEpochSeconds(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseEpochSeconds(nullptr), std::nullopt);
    EXPECT_EQ(ParseEpochSeconds("253402300799"), 253402300799u); // 9999-12-31 23:59:59
}

} // namespace
} // namespace ril::platform
