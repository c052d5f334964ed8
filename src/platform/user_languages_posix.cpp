// The user's languages on POSIX: the environment variables gettext reads, in its order.
#include "platform/user_languages.h"

#include <cstdlib>
#include <cstring>

namespace ril::platform {

std::string UserLanguages() {
    for (char const *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        char const *value = std::getenv(name);
        if (value == nullptr || value[0] == '\0')
            continue;
        if (std::strcmp(value, "C") == 0 || std::strncmp(value, "C.", 2) == 0 ||
            std::strcmp(value, "POSIX") == 0)
            return std::string();
        return value;
    }
    return std::string();
}

} // namespace ril::platform
