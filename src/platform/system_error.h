// The operating system's own error codes behind failed calls, and their English texts.
#pragma once

#include <string>

namespace ril::platform {

// Forgets the code of an earlier failure, so that a failure that sets none reads as 0.
void ClearSystemError();
// The code the last failed call left: errno on POSIX, GetLastError() on Windows.
int LastSystemError();
// The code's text in English ("No such file or directory"), without a final period or
// line break; empty for 0.
std::string SystemErrorText(int code);
// True when the code says that the file, or a folder on its path, does not exist.
bool IsNoSuchFile(int code);

} // namespace ril::platform
