// ril4410: command-line tool over the Ril4410 library's public interface.
#include "code_page.h"
#include "commands.h"
#include "diagnostics.h"
#include "global_options.h"
#include "notice_renderer.h"
#include "text_output.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#ifndef RIL4410_VERSION
#error "RIL4410_VERSION must be defined by the build"
#endif

using namespace rilcli;

namespace {

int Run(std::span<char const *const> arguments, std::optional<NoticeRenderer> &notices) {
    GlobalOptions options;
    std::vector<char const *> const rest = TakeGlobalOptions(arguments, options, &OptionValueCount);
    ParsedLine line = ParseArguments(rest, Commands());
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
    bool const verbose = line.invocation.Value("--verbose") != nullptr;
    if (verbose && options.quiet)
        throw UsageError("options '--quiet' and '--verbose' exclude each other");
    ApplyCodePage(line.invocation);
    notices.emplace(options);
    notices->SetVerbose(verbose);
    line.invocation.notices = &*notices;
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
    int status = kExitFailure;
    // Lives until the library is done, so that every notice is rendered.
    std::optional<NoticeRenderer> notices;
    try {
        std::size_t const count = argc > 1 ? static_cast<std::size_t>(argc - 1) : 0;
        status = Run(std::span<char const *const>(count > 0 ? argv + 1 : argv, count), notices);
    } catch (UsageError const &error) {
        status = ReportUsageError(error);
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
