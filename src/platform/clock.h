// The local wall-clock time, as the holder markers and exported files stamp it.
#pragma once

namespace ril::platform {

struct LocalTime {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

LocalTime CurrentLocalTime();

} // namespace ril::platform
