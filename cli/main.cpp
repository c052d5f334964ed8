// ril4410: command-line tool over the Ril4410 library's public interface.
#include "code_page.h"
#include "commands.h"
#include "diagnostics.h"
#include "text_output.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string>

#ifndef RIL4410_VERSION
#error "RIL4410_VERSION must be defined by the build"
#endif

using namespace rilcli;

namespace {

int Run(std::span<char const *const> arguments) {
    ParsedLine const line = ParseArguments(arguments, Commands());
    switch (line.request) {
    case Request::kHelp:
        WriteOut(UsageText(Commands()));
        FinishOutput();
        return kExitOk;
    case Request::kVersion:
        WriteOut("ril4410 " RIL4410_VERSION "\n");
        FinishOutput();
        return kExitOk;
    case Request::kRun:
        break;
    }
    RefuseStreamNames(line.invocation);
    ApplyCodePage(line.invocation);
    return line.invocation.command->run(line.invocation);
}

} // namespace

int main(int argc, char **argv) {
#ifdef SIGXFSZ
    // A file-size limit then fails the write that passes it, which the library reports and
    // cleans up after, instead of killing the tool half way.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    PrepareStandardStreams();
    InstallNoticeHandler();
    int status = kExitFailure;
    try {
        std::size_t const count = argc > 1 ? static_cast<std::size_t>(argc - 1) : 0;
        status = Run(std::span<char const *const>(count > 0 ? argv + 1 : argv, count));
    } catch (UsageError const &error) {
        status = ReportUsageError(error);
    } catch (Failure const &failure) {
        status = ReportFailure(failure);
    } catch (std::bad_alloc const &) {
        status = ReportFailure(Failure("out of memory"));
    } catch (std::exception const &error) {
        status = ReportFailure(Failure(std::string("unexpected error: ") + error.what()));
    }
    Ril_UnloadRes();
    return status;
}
