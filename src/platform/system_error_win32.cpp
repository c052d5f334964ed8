// System error codes on Windows: GetLastError(), and FormatMessageA's text in US English
// (the message table's neutral text when English is not installed).
#include "platform/system_error.h"

#include <windows.h>

namespace ril::platform {
namespace {

std::string FormatSystemMessage(DWORD code, DWORD language) {
    char buffer[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, language, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

void ClearSystemError() {
    SetLastError(0);
}

int LastSystemError() {
    return static_cast<int>(GetLastError());
}

std::string SystemErrorText(int code) {
    if (code == 0)
        return std::string();
    const DWORD value = static_cast<DWORD>(code);
    std::string text = FormatSystemMessage(value, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (text.empty())
        text = FormatSystemMessage(value, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (text.empty())
        text = "system error " + std::to_string(code);
    return text;
}

bool IsNoSuchFile(int code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

} // namespace ril::platform
