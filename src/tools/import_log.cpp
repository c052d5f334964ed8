// The import log: emptied at the start of an import, then a head naming the operator, the
// text file and the BIN, the messages of the run, and a banner for its outcome.
#include "tools/import_log.h"

#include "core/error_report.h"
#include "core/messages.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/system_error.h"
#include "platform/user.h"

#include <string>

namespace ril::tools {
namespace {

constexpr std::size_t kOperatorNameSize = 256;

// Appends an entry to the log; the log's head and banners exist only when a log is given.
void LogEntry(char const *logPath, char const *entry) {
    if (logPath != nullptr)
        core::LogError(logPath, "%s", entry);
}

// Starts the log afresh: it must be creatable, and it holds this run alone. It is emptied,
// not deleted: a log path may name a device (/dev/null), which must stay.
bool RecreateLog(char const *logPath, int &error) {
    platform::ClearSystemError();
    platform::File file = platform::File::Open(logPath, "wb");
    bool const done = file.IsOpen() && file.Close();
    if (!done)
        error = platform::LastSystemError();
    return done;
}

// A log that is the text file or the BIN (however spelt) would destroy it.
bool LogIsAnotherFile(char const *logPath, char const *txtPath, char const *target) {
    return !platform::SameFile(logPath, txtPath) &&
           (target == nullptr || !platform::SameFile(logPath, target));
}

void WriteLogHead(char const *logPath, char const *txtPath) {
    std::string user = platform::CurrentUserName();
    if (user.size() >= kOperatorNameSize)
        user.resize(kOperatorNameSize - 1);
    LogEntry(logPath, core::msg::kLogRule);
    LogEntry(logPath, core::msg::kLogTitle);
    core::LogError(logPath, core::msg::kLogOperator, user.c_str());
    core::LogError(logPath, core::msg::kLogSource, txtPath);
}

} // namespace

core::HResult StartImportLog(char const *logPath, char const *txtPath, char const *target) {
    if (logPath != nullptr) {
        int error = 0;
        if (!LogIsAnotherFile(logPath, txtPath, target) || !RecreateLog(logPath, error)) {
            core::ErrorBox(core::catalogue::kLogCannotCreate,
                           core::NoticeSite{.file = logPath, .systemError = error});
            return core::kErrArgument;
        }
        WriteLogHead(logPath, txtPath);
    }
    if (target == nullptr) {
        if (logPath != nullptr) {
            core::LogError(logPath, core::catalogue::kNoBinNoTable, core::NoticeSite{});
            LogEntry(logPath, core::msg::kLogFailure);
        }
        return core::kErrArgument;
    }
    if (logPath != nullptr)
        core::LogError(logPath, core::msg::kLogTarget, target);
    return core::kSOk;
}

void EndImportLog(char const *logPath, core::HResult result) {
    LogEntry(logPath, result == core::kSOk ? core::msg::kLogSuccess : core::msg::kLogFailure);
}

} // namespace ril::tools
