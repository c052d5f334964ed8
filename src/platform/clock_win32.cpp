// Local time on Windows through GetLocalTime.
#include "platform/clock.h"

#include <windows.h>

namespace ril::platform {

LocalTime SystemLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

} // namespace ril::platform
