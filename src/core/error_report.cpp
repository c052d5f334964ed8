// The tools' reporting routines: an "Error:" notice, or a CR LF line appended to a log file.
#include "core/error_report.h"

#include "core/messages.h"
#include "platform/file.h"
#include "platform/notice.h"

#include <cstring>

namespace ril {

const char kErrorCaption[] = "Error:";

namespace {

void ShowErrorNotice(const char *message) {
    platform::ShowNotice(kErrorCaption, message);
}

// Appends the message and CR LF as one piece, in binary mode so that the bytes on disk are
// exactly those written: a line is in the log whole or, when writing fails, not at all.
platform::AppendStatus AppendLine(const char *logPath, const char *message) {
    char line[kMessageSize + 2];
    std::size_t length = std::strlen(message);
    std::memcpy(line, message, length);
    std::memcpy(line + length, "\r\n", 2);
    return platform::AppendToFile(logPath, line, length + 2, platform::AppendMode::CreateIfMissing);
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
    if (logPath == nullptr) {
        ShowErrorNotice(message);
        return;
    }
    switch (AppendLine(logPath, message)) {
    case platform::AppendStatus::Ok:
        return;
    case platform::AppendStatus::WriteFailed:
        // The log was there but did not take the line: say so, then show the line itself.
        ErrorBox(msg::kCannotWriteBin, logPath);
        break;
    case platform::AppendStatus::CannotOpen:
        break;
    }
    ShowErrorNotice(message);
}

} // namespace ril
