// The name of the user running the process, as holder markers and logs record it.
#pragma once

#include <string>

namespace ril::platform {

// The login name, or an empty string when it cannot be had.
std::string CurrentUserName();

} // namespace ril::platform
