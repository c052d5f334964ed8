// User name on POSIX: the effective user's login name from the password database.
#include "platform/user.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace ril::platform {

std::string CurrentUserName() {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found) != 0 ||
        found == nullptr || found->pw_name == nullptr)
        return std::string();
    return std::string(found->pw_name);
}

} // namespace ril::platform
