// The log's own lines, formatted with printf conventions and raised as log entries.
#include "core/error_report.h"

namespace ril::core {

char const kErrorCaption[] = "Error:";

void LogError(char const *logPath, char const *format, ...) {
    char line[kMessageSize] = "";
    va_list args;
    va_start(args, format);
    SafeFormatVA(line, sizeof line, format, args);
    va_end(args);
    const NoticeArg text = MakeNoticeArg(static_cast<char const *>(line));
    RaiseNotice(catalogue::kLogEntry, NoticeSite{}, logPath, &text, 1);
}

} // namespace ril::core
