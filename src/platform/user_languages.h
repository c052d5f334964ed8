// The languages the user prefers for messages, as the platform keeps them.
#pragma once

#include <string>

namespace ril::platform {

// The user's languages, most preferred first, as a colon-separated list ("fr_CA:fr"), or an
// empty string. POSIX: the environment as gettext reads it, LANGUAGE when set and not empty,
// else the first set and not empty of LC_ALL, LC_MESSAGES and LANG ("C" and "POSIX" name no
// language). Windows: the user's preferred UI languages, '-' written as '_' ("fr_CA").
std::string UserLanguages();

} // namespace ril::platform
