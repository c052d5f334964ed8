// ril4410: command-line tool over the Ril4410 library's public interface.
#include "code_page.h"
#include "commands.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_output.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#ifndef RIL4410_VERSION
#error "RIL4410_VERSION must be defined by the build"
#endif

using namespace rilcli;

namespace {

// Prints "ril4410: <what> (<code>)": HRESULTs as 0x%08X, the library's own codes in decimal.
int ReportFailure(Failure const &failure) {
    std::string line = std::string("ril4410: ") + failure.what();
    if (std::optional<RIL_LONG> const code = failure.Code()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(*code));
        line += " (" + (*code <= -0x10000 ? std::string(hex) : std::to_string(*code)) + ")";
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    return kExitFailure;
}

int Run(std::span<char const *const> arguments, std::optional<NoticeRenderer> &notices) {
    ParsedLine line = ParseArguments(arguments, Commands());
    if (line.request != Request::kRun) {
        WriteOut(line.request == Request::kHelp ? UsageText(Commands())
                                                : "ril4410 " RIL4410_VERSION "\n");
        FinishOutput();
        return kExitOk;
    }
    RefuseStreamNames(line.invocation);
    std::optional<std::string> const chosen = ApplyCodePage(line.invocation);
    notices.emplace(line.options);
    notices->SetVerbose(line.invocation.Value("--verbose") != nullptr);
    line.invocation.notices = &*notices;
    if (chosen)
        notices->Report({Severity::kInformation, "", {}, {}, "code-page", *chosen});
    return line.invocation.command->run(line.invocation);
}

} // namespace

int main(int argc, char **argv) {
#ifdef SIGXFSZ
    // A file-size limit then fails the write, which the library reports, not the whole tool.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#if defined(_WIN32)
    // Texts may hold LF on their own; the output must keep exactly the bytes written.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    int status = kExitFailure;
    // Lives until the library is done, so that every notice is rendered.
    std::optional<NoticeRenderer> notices;
    try {
        std::size_t const count = argc > 1 ? static_cast<std::size_t>(argc - 1) : 0;
        status = Run(std::span<char const *const>(count > 0 ? argv + 1 : argv, count), notices);
    } catch (UsageError const &error) {
        std::fprintf(stderr, "ril4410: %s\nTry 'ril4410 --help'.\n", error.what());
        status = kExitUsage;
    } catch (Failure const &failure) {
        if (notices)
            notices->Flush(); // the library's notices come before the tool's conclusion
        status = ReportFailure(failure);
    } catch (std::bad_alloc const &) {
        status = ReportFailure(Failure("out of memory"));
    } catch (std::exception const &error) {
        status = ReportFailure(Failure(std::string("unexpected error: ") + error.what()));
    }
    Ril_UnloadRes();
    if (notices)
        notices->Flush();
    return status;
}
