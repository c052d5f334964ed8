// The commands that run the library's tools on files: import, export, header and resave.
#include "bin_check.h"
#include "bin_items.h"
#include "commands.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "output_files.h"
#include "text_lint.h"
#include "text_output.h"

#include <cstdio>
#include <optional>
#include <string>

namespace rilcli {
namespace {

// The notice with which the library reports a log line that the log did not take: its
// "cannot write" message (GBK: 无法写入 %s , 文件未被更改 !) naming the log, cut as every
// message is at 1023 bytes. The import keeps its own result, so this is how the tool learns
// that the log is incomplete.
std::string CannotWriteNotice(std::string const &path) {
    std::string message = "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB " + path +
                          " , \xCE\xC4\xBC\xFE\xCE\xB4\xB1\xBB\xB8\xFC\xB8\xC4 !";
    if (message.size() > 1023)
        message.resize(1023);
    return message;
}

// The lint's findings the import does not report itself, shown before it; false when one of
// them refuses the file (nothing is written then).
bool PrecheckImport(Invocation const &invocation) {
    RIL_LONG result = 0;
    for (Diagnostic const &diagnostic : LintText(invocation, true, result)) {
        std::string const line = NoticeRenderer::Format(diagnostic);
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    std::fflush(stderr);
    return result == 0;
}

} // namespace

int RunImport(Invocation const &invocation) {
    std::string const &text = invocation.operands[0];
    std::string const &bin = invocation.operands[1];
    if (!PrecheckImport(invocation))
        return kExitFailure;
    bool const wide = invocation.wide;
    char const *const log = invocation.Value("--log");
    char const *const holderGiven = invocation.Value("--holder");
    std::string const holder = holderGiven != nullptr ? ArgumentToAnsi(holderGiven) : "";
    CheckHolderText(holder);
    std::optional<UnchangedOutput> previous;
    if (invocation.Value("--if-changed") != nullptr)
        previous.emplace(bin);
    NoticeRenderer &notices = *invocation.notices;
    if (log != nullptr)
        notices.Watch(CannotWriteNotice(log));
    RIL_LONG const result = Ril_ImportResFromTxtToBin(text.c_str(), wide ? 1 : 0, bin.c_str(), log);
    notices.Flush();
    if (result != 0)
        throw Failure("cannot import '" + text + "' into '" + bin + "'", result);
    if (holderGiven != nullptr)
        SetWrittenHolder(bin, holder);
    if (previous)
        previous->Settle();
    if (log != nullptr && notices.Seen())
        throw Failure("cannot write the import log '" + std::string(log) +
                      "': lines are missing from it (the BIN was written)");
    return kExitOk;
}

int RunExport(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &text = invocation.operands[1];
    bool const wide = CheckedWide(invocation, bin);
    if (text == kStandardStream) {
        ExportToStandardOutput(bin, wide);
        return kExitOk;
    }
    RIL_LONG const result = Ril_ExportResFromBinToTxt(text.c_str(), wide ? 1 : 0, bin.c_str());
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to '" + text + "'", result);
    return kExitOk;
}

int RunHeader(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &folder = invocation.operands[1];
    bool const wide = CheckedWide(invocation, bin);
    std::optional<UnchangedOutput> previous;
    if (invocation.Value("--if-changed") != nullptr)
        previous.emplace(HeaderPathFor(folder, bin));
    RIL_LONG const result = Ril_WriteHeaderFile(folder.c_str(), wide ? 1 : 0, bin.c_str());
    if (result != 0)
        throw Failure("cannot write the header of '" + bin + "' into '" + folder + "'", result);
    if (previous)
        previous->Settle();
    return kExitOk;
}

int RunResave(Invocation const &invocation) {
    std::string const &source = invocation.operands[0];
    std::string const &target = invocation.operands[1];
    // An empty path loads nothing and still succeeds: refuse it here, as a missing file.
    if (source.empty())
        throw Failure("cannot load ''");
    CheckBin(source);
    LoadBin(source);
    // Saving writes the records in ascending ID order behind a new holder marker, then
    // unloads the table.
    RIL_LONG const result = Ril_ExportResToBinFile(target.c_str());
    if (result != 0)
        throw Failure("cannot save '" + source + "' as '" + target + "'", result);
    return kExitOk;
}

} // namespace rilcli
