// The tools' two reporting routines: a message box, or a line appended to a log file.
#pragma once

#include "core/safe_text.h"

namespace ril {

constexpr std::size_t kMessageSize = 1024; // messages hold at most 1023 bytes
extern const char kErrorCaption[];         // "Error:"

// Formats the message (cut to 1023 bytes) and shows it as a notice captioned "Error:".
void ErrorBox(const char *format, ...) RIL_PRINTF_FORMAT(1, 2);
// Appends the message and CR LF to `logPath` (one open, append and close per line, created
// when missing); shows it as ErrorBox does when no path is given or the file cannot be
// opened. A line the log does not take is cut off again and reported: the "cannot write"
// notice naming the log, then the message itself.
void LogError(const char *logPath, const char *format, ...) RIL_PRINTF_FORMAT(2, 3);

} // namespace ril
