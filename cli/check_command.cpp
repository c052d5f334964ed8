// The check command: every fault the import would report and the tool's own warnings about a
// text resource file, with their places, as lines on standard error or as JSON.
#include "commands.h"
#include "diagnostics.h"
#include "json_writer.h"
#include "notice_renderer.h"
#include "text_lint.h"
#include "text_output.h"

#include <algorithm>

namespace rilcli {
namespace {

Json Place(std::optional<TextPlace> const &place, long long TextPlace::*part) {
    return place ? Json((*place).*part) : Json();
}

std::string DiagnosticJson(Diagnostic const &diagnostic) {
    Json object = {
        {"severity", SeverityWord(diagnostic.severity, true)},
        {"file", diagnostic.file.empty() ? Json() : Json(ArgumentToUtf8(diagnostic.file))},
        {"line", Place(diagnostic.place, &TextPlace::line)},
        {"column", Place(diagnostic.place, &TextPlace::column)},
        {"messageId", diagnostic.messageId},
        {"text", diagnostic.text}};
    if (diagnostic.firstPlace) {
        object["firstLine"] = diagnostic.firstPlace->line;
        object["firstColumn"] = diagnostic.firstPlace->column;
    }
    return JsonLine(object);
}

void PrintJson(std::vector<Diagnostic> const &diagnostics) {
    std::string out = "[";
    for (std::size_t i = 0; i < diagnostics.size(); ++i)
        out += (i == 0 ? "\n" : ",\n") + DiagnosticJson(diagnostics[i]);
    out += diagnostics.empty() ? "]\n" : "\n]\n";
    WriteOut(out);
    FinishOutput();
}

} // namespace

int RunCheck(Invocation const &invocation) {
    NoticeRenderer &notices = *invocation.notices;
    RIL_LONG result = 0;
    std::vector<Diagnostic> diagnostics = LintText(invocation, false, result);
    // Diagnostics without a place first, then in file order; the library's order among equals.
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](Diagnostic const &a, Diagnostic const &b) { return a.place < b.place; });
    if (invocation.Value("--json") != nullptr) {
        PrintJson(diagnostics);
    } else {
        for (Diagnostic const &diagnostic : diagnostics) {
            std::string const line = NoticeRenderer::Format(diagnostic);
            std::fwrite(line.data(), 1, line.size(), stderr);
        }
        std::fflush(stderr);
    }
    bool const failed = result != 0 || notices.Errors() > 0 ||
                        (invocation.Value("--werror") != nullptr && notices.Warnings() > 0);
    return failed ? kExitFailure : kExitOk;
}

} // namespace rilcli
