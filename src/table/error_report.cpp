// The tools' reporting routines: an "Error:" notice, or a CR LF line appended to a log file.
#include "table/error_report.h"

#include "platform/file.h"
#include "platform/notice.h"

#include <cstring>

namespace ril {

const char kErrorCaption[] = "Error:";

namespace {

void ShowErrorNotice(const char *message) {
    platform::ShowNotice(kErrorCaption, message);
}

// Appends the message and CR LF; false only when the file cannot be opened. The log is
// opened in binary mode so the bytes on disk are exactly those written. A write that fails
// after the open loses the line without further notice.
bool AppendLine(const char *logPath, const char *message) {
    platform::File file = platform::File::Open(logPath, "ab");
    if (!file.IsOpen())
        return false;
    if (file.Write(message, std::strlen(message)))
        file.Write("\r\n", 2);
    file.Close();
    return true;
}

} // namespace

void ErrorBox(const char *format, ...) {
    char message[kMessageSize] = "";
    va_list args;
    va_start(args, format);
    SafeFormatVA(message, sizeof message, format, args);
    va_end(args);
    ShowErrorNotice(message);
}

void LogError(const char *logPath, const char *format, ...) {
    char message[kMessageSize] = "";
    va_list args;
    va_start(args, format);
    SafeFormatVA(message, sizeof message, format, args);
    va_end(args);
    if (logPath == nullptr || !AppendLine(logPath, message))
        ShowErrorNotice(message);
}

} // namespace ril
