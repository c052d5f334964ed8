// Default notice on POSIX: one line "<caption> <message>" on standard error, in UTF-8.
#include "platform/codepage.h"
#include "platform/notice.h"

#include <cstdio>
#include <string>

namespace ril::platform {

void ShowDefaultNotice(char const *caption, char const *message) {
    std::string line = caption != nullptr ? caption : "";
    line += ' ';
    line += AnsiToUtf8(message != nullptr ? message : "");
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace ril::platform
