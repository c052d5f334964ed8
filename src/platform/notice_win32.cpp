// Default notice on Windows: a modal message box without owner, style MB_OK | MB_ICONHAND.
#include "platform/notice.h"

#include <windows.h>

namespace ril::platform {

void ShowDefaultNotice(char const *caption, char const *message) {
    MessageBoxA(nullptr, message != nullptr ? message : "", caption != nullptr ? caption : "",
                MB_OK | MB_ICONHAND); // style 16
}

} // namespace ril::platform
