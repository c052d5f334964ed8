// The commands that run the library's tools on files: import, export, header and resave. The
// library writes every file; the tool passes the command's settings to it.
#include "bin_files.h"
#include "commands.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_lint.h"
#include "text_output.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace rilcli {
namespace {

namespace fs = std::filesystem;

// Exports `bin` to standard output through a temporary file; the library's notices about that
// file are about standard output.
void ExportToStandardOutput(std::string const &bin, bool wide, NoticeRenderer &notices) {
    std::error_code error;
    fs::path const folder = fs::temp_directory_path(error);
    if (error)
        throw Failure("cannot export '" + bin + "' to standard output: no temporary folder");
    // A name in the temporary folder that no other file is likely to have.
    std::random_device random;
    char tag[48];
    std::snprintf(tag, sizeof tag, "ril4410-stdout-%08x%08x.txt", random(), random());
    std::string const scratch = (folder / tag).string();
    notices.Collect([&](Diagnostic diagnostic) {
        if (diagnostic.file == scratch)
            diagnostic.file = kStandardStream;
        for (std::size_t at; (at = diagnostic.text.find(scratch)) != std::string::npos;)
            diagnostic.text.replace(at, scratch.size(), kStandardStream);
        std::fputs(NoticeRenderer::Format(diagnostic).c_str(), stderr);
    });
    RIL_LONG const result = Ril_ExportResFromBinToTxt(scratch.c_str(), wide ? 1 : 0, bin.c_str());
    notices.Flush();
    notices.Collect(nullptr);
    std::ifstream in(scratch, std::ios::binary);
    std::string const text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool const readBack = in.is_open() && !in.bad();
    in.close();
    fs::remove(scratch, error);
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to standard output", result);
    if (!readBack)
        throw Failure("cannot read back the export of '" + bin + "'");
    WriteOut(text);
    FinishOutput();
}

// The library's notice for a line that the import log did not take.
constexpr char kCannotWriteLog[] = "cannot-write-log";
constexpr char kEpochVariable[] = "SOURCE_DATE_EPOCH";

// Stamps follow SOURCE_DATE_EPOCH when it is set; a value the library cannot stamp is refused
// before anything is written, rather than stamping the local time.
void RequireValidStampTime() {
    if (Ril_SetStampTime(RIL_STAMP_DEFAULT) == RIL_E_INVALIDARG) {
        char const *value = std::getenv(kEpochVariable);
        throw Failure(std::string(kEpochVariable) + ": invalid value '" +
                      (value != nullptr ? value : "") +
                      "' (seconds since 1970-01-01 00:00:00 UTC expected)");
    }
}

// --if-changed: the library leaves an output with the same bytes untouched.
void ApplyWriteOptions(Invocation const &invocation) {
    bool const ifChanged = invocation.Value("--if-changed") != nullptr;
    Ril_SetWriteOptions(ifChanged ? RIL_WRITE_IF_CHANGED : RIL_WRITE_ALWAYS);
}

} // namespace

int RunImport(Invocation const &invocation) {
    std::string const &text = invocation.operands[0];
    std::string const &bin = invocation.operands[1];
    char const *const log = invocation.Value("--log");
    if (char const *holder = invocation.Value("--holder")) {
        std::string const ansi = ArgumentToAnsi(holder);
        if (Ril_SetHolderText(ansi.c_str()) != RIL_S_OK)
            throw Failure("the holder text has " + std::to_string(ansi.size()) +
                          " bytes, too many for a holder marker");
    }
    RequireValidStampTime();
    ApplyWriteOptions(invocation);
    if (invocation.Value("--format") != nullptr)
        return RunFormat(invocation, false);
    NoticeRenderer &notices = *invocation.notices;
    // One parse: the lint's findings (every macro that would be cut among them) and the import's.
    RIL_LONG result = 0;
    bool refused = false;
    for (Diagnostic const &diagnostic : ImportText(invocation, bin.c_str(), log, result, refused)) {
        std::string const line = NoticeRenderer::Format(diagnostic);
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    std::fflush(stderr);
    if (refused)
        return kExitFailure;
    if (result != 0)
        throw Failure("cannot import '" + text + "' into '" + bin + "'", result);
    if (log != nullptr && notices.Saw(kCannotWriteLog))
        throw Failure("cannot write the import log '" + std::string(log) +
                      "': lines are missing from it (the BIN was written)");
    return kExitOk;
}

int RunExport(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &text = invocation.operands[1];
    RequireValidStampTime();
    if (invocation.Value("--format") != nullptr)
        return RunFormat(invocation, true);
    bool const wide = CheckedWide(invocation, bin);
    if (text == kStandardStream) {
        ExportToStandardOutput(bin, wide, *invocation.notices);
        return kExitOk;
    }
    RIL_LONG const result = Ril_ExportResFromBinToTxt(text.c_str(), wide ? 1 : 0, bin.c_str());
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to '" + text + "'", result);
    return kExitOk;
}

// The header's texts chosen from the library's inspection of the BIN, as a reading command
// chooses them; a refusal is kept to be thrown once the library has returned.
struct HeaderChoice {
    Invocation const &invocation;
    std::string const &bin;
    std::exception_ptr refusal;

    static int Choose(void *context, RIL_BIN_INFO const *info) noexcept try {
        auto const &choice = *static_cast<HeaderChoice *>(context);
        return WideOfInspection(choice.invocation, choice.bin, *info) ? 1 : 0;
    } catch (...) {
        static_cast<HeaderChoice *>(context)->refusal = std::current_exception();
        return -1;
    }
};

int RunHeader(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &folder = invocation.operands[1];
    ApplyWriteOptions(invocation);
    // One reading of the BIN for its inspection and its header.
    HeaderChoice choice{invocation, bin, nullptr};
    RIL_BIN_INFO info{};
    info.structSize = sizeof info;
    RIL_LONG const result = Ril_WriteHeaderFileInspected(folder.c_str(), bin.c_str(),
                                                         &HeaderChoice::Choose, &choice, &info);
    if (choice.refusal)
        std::rethrow_exception(choice.refusal);
    if (result != 0)
        throw Failure("cannot write the header of '" + bin + "' into '" + folder + "'", result);
    return kExitOk;
}

int RunResave(Invocation const &invocation) {
    std::string const &source = invocation.operands[0];
    std::string const &target = invocation.operands[1];
    // An empty path loads nothing and still succeeds: refuse it here, as a missing file.
    if (source.empty())
        throw Failure("cannot load ''");
    CheckBin(source);
    RequireValidStampTime();
    LoadBin(source);
    RIL_LONG const result = Ril_ExportResToBinFile(target.c_str());
    if (result != 0)
        throw Failure("cannot save '" + source + "' as '" + target + "'", result);
    return kExitOk;
}

int RunPseudo(Invocation const &invocation) {
    std::string const &in = invocation.operands[0];
    std::string const &out = invocation.operands[1];
    RequireValidStampTime();
    bool const given = invocation.Value("--code-page") != nullptr || invocation.Value("--utf8");
    RIL_LONG const result = Ril_PseudoResTxt(in.c_str(), out.c_str(), invocation.wide ? 1 : 0,
                                             given ? 0 : RIL_LINT_UTF8_SIGNATURE);
    if (result != 0)
        throw Failure("cannot pseudo-localise '" + in + "' into '" + out + "'", result);
    return kExitOk;
}

} // namespace rilcli
