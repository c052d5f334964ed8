// User name on Windows through GetUserNameA.
#include "platform/user.h"

#include <windows.h>

namespace ril::platform {

std::string CurrentUserName() {
    char name[512] = {};
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size))
        return std::string();
    name[sizeof name - 1] = '\0';
    return std::string(name);
}

} // namespace ril::platform
