// The tools' two reporting routines: a notice, or a line appended to a log file. Each raises
// a message of the catalogue with the place it concerns and its arguments.
#pragma once

#include "core/notice.h"
#include "core/safe_text.h"

#include <array>

namespace ril::core {

constexpr std::size_t kMessageSize = 1024; // messages hold at most 1023 bytes
extern char const kErrorCaption[];         // "Error:"

// Raises the message (cut to 1023 bytes) as a notice captioned "Error:".
template <typename... Args>
void ErrorBox(msg::Message const &message, NoticeSite const &site, Args const &...args) {
    const std::array<NoticeArg, sizeof...(Args)> list{MakeNoticeArg(args)...};
    RaiseNotice(message, site, nullptr, list.data(), list.size());
}

// Appends the message and CR LF to `logPath` (one open, append and close per line, created
// when missing); shows it as ErrorBox does when no path is given or the file cannot be
// opened. A line the log does not take is cut off again and reported: the "cannot write"
// notice naming the log, then the message itself.
template <typename... Args>
void LogError(char const *logPath, msg::Message const &message, NoticeSite const &site,
              Args const &...args) {
    const std::array<NoticeArg, sizeof...(Args)> list{MakeNoticeArg(args)...};
    RaiseNotice(message, site, logPath, list.data(), list.size());
}

// Hands the message to the parts handler alone (information no standard text carries).
template <typename... Args>
void InformCaller(msg::Message const &message, NoticeSite const &site, Args const &...args) {
    if (!HasNoticeHandler())
        return;
    const std::array<NoticeArg, sizeof...(Args)> list{MakeNoticeArg(args)...};
    InformPartsHandler(message, site, list.data(), list.size());
}

// A line of the log's own layout, formatted with printf conventions, handled as LogError
// handles a message (the import-log-entry message, GBK in every language).
void LogError(char const *logPath, char const *format, ...) RIL_PRINTF_FORMAT(2, 3);

} // namespace ril::core
