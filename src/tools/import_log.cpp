// Ril_ImportResFromTxtToBin: text resource file → item list → validation → BIN, with an
// optional import log that records the run.
#include "Ril4410.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/user.h"
#include "core/error_report.h"
#include "api/library_state.h"
#include "items/ril_txt_loader.h"
#include "core/export_guard.h"
#include "core/messages.h"

namespace ril {
namespace {

constexpr std::size_t kOperatorNameSize = 256;

// Appends an entry to the log; the log's head and banners exist only when a log is given.
void LogEntry(const char *logPath, const char *entry) {
    if (logPath != nullptr)
        LogError(logPath, "%s", entry);
}

// Starts the log afresh: it must be creatable, and it holds this run alone. It is emptied,
// not deleted: a log path may name a device (/dev/null), which must stay.
bool RecreateLog(const char *logPath) {
    platform::File file = platform::File::Open(logPath, "wb");
    return file.IsOpen() && file.Close();
}

// A log that is the text file or the BIN (however spelt) would destroy it.
bool LogIsAnotherFile(const char *logPath, const char *txtPath, const char *target) {
    return !platform::SameFile(logPath, txtPath) &&
           (target == nullptr || !platform::SameFile(logPath, target));
}

void WriteLogHead(const char *logPath, const char *txtPath) {
    std::string user = platform::CurrentUserName();
    if (user.size() >= kOperatorNameSize)
        user.resize(kOperatorNameSize - 1);
    LogEntry(logPath, msg::kLogRule);
    LogEntry(logPath, msg::kLogTitle);
    LogError(logPath, msg::kLogOperator, user.c_str());
    LogError(logPath, msg::kLogSource, txtPath);
}

HResult Import(const char *txtPath, int wide, const char *binPath, const char *logPath) {
    if (txtPath == nullptr)
        return kErrArgument;
    CBinMaster &table = State().table;
    const char *target = binPath != nullptr ? binPath : table.IsLoaded() ? table.Path() : nullptr;
    if (logPath != nullptr) {
        if (!LogIsAnotherFile(logPath, txtPath, target) || !RecreateLog(logPath)) {
            ErrorBox("%s", msg::kLogCannotCreate);
            return kErrArgument;
        }
        WriteLogHead(logPath, txtPath);
    }
    if (target == nullptr) {
        if (logPath != nullptr) {
            LogError(logPath, "%s", msg::kNoBinNoTable);
            LogEntry(logPath, msg::kLogFailure);
        }
        return kErrArgument;
    }
    if (logPath != nullptr)
        LogError(logPath, msg::kLogTarget, target);

    CRilTxtLoader list;
    HResult result = kSOk;
    if (!list.LoadTxt(txtPath, wide, logPath) || !list.Validate(logPath))
        result = kErrImportParse;
    else if (!list.SaveBin(binPath, logPath))
        result = kErrImportWrite;
    LogEntry(logPath, result == kSOk ? msg::kLogSuccess : msg::kLogFailure);
    return result;
}

} // namespace
} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_ImportResFromTxtToBin(char const *txtPath, int wide,
                                                      char const *binPath, char const *logPath) {
    HResult result =
        Guarded<HResult>(kErrImportParse, [&] { return Import(txtPath, wide, binPath, logPath); });
    SetLastErrorCode(result);
    return result;
}
