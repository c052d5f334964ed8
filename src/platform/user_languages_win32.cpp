// The user's languages on Windows: the preferred UI languages of the user, as named by
// GetUserPreferredUILanguages ("fr-CA"), written with '_' ("fr_CA") and joined by ':'.
#include "platform/user_languages.h"

#include <windows.h>

#include <vector>

namespace ril::platform {

std::string UserLanguages() {
    ULONG count = 0;
    ULONG size = 0;
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0)
        return std::string();
    std::vector<WCHAR> names(size);
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size))
        return std::string();
    // A list of zero-terminated names, ended by an empty one. Language names are ASCII.
    std::string list;
    for (ULONG i = 0; i < size && i < names.size(); ++i) {
        WCHAR c = names[i];
        if (c == 0) {
            if (i + 1 < size && names[i + 1] != 0 && !list.empty())
                list += ':';
            continue;
        }
        list += c == L'-' ? '_' : c < 0x80 ? static_cast<char>(c) : '?';
    }
    return list;
}

} // namespace ril::platform
