// System error codes on POSIX: errno, and strerror's text in the "C" locale (English,
// whatever locale the host application chose).
#include "platform/system_error.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <locale.h>

namespace ril::platform {

void ClearSystemError() {
    errno = 0;
}

int LastSystemError() {
    return errno;
}

std::string SystemErrorText(int code) {
    if (code == 0)
        return std::string();
    std::string text;
    locale_t english = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (english != static_cast<locale_t>(0)) {
        text = strerror_l(code, english);
        freelocale(english);
    } else {
        text = "system error " + std::to_string(code);
    }
    return text;
}

bool IsNoSuchFile(int code) {
    return code == ENOENT || code == ENOTDIR;
}

} // namespace ril::platform
