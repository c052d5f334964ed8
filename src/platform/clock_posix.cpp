// Local time on POSIX through localtime_r.
#include "platform/clock.h"

#include <ctime>

namespace ril::platform {

LocalTime SystemLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (localtime_r(&now, &parts) == nullptr)
        return LocalTime{};
    return LocalTime{
        static_cast<unsigned>(parts.tm_year + 1900), static_cast<unsigned>(parts.tm_mon + 1),
        static_cast<unsigned>(parts.tm_mday),        static_cast<unsigned>(parts.tm_hour),
        static_cast<unsigned>(parts.tm_min),         static_cast<unsigned>(parts.tm_sec)};
}

} // namespace ril::platform
