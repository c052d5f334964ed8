// The check command: every fault the import would report and the tool's own warnings about a
// text resource file, with their places, as lines on standard error or as JSON.
#include "commands.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_lint.h"
#include "text_output.h"

#include <algorithm>

namespace rilcli {
namespace {

std::string DiagnosticJson(Diagnostic const &diagnostic) {
    Json object = {
        {"severity", SeverityWord(diagnostic.severity, true)},
        {"file", diagnostic.file.empty() ? Json() : Json(ArgumentToUtf8(diagnostic.file))},
        {"line", diagnostic.place ? Json(diagnostic.place->line) : Json()},
        {"column", diagnostic.place ? Json(diagnostic.place->column) : Json()},
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
    for (Diagnostic const &diagnostic : diagnostics)
        out += (out.size() == 1 ? "\n" : ",\n") + DiagnosticJson(diagnostic);
    WriteOut(out + (diagnostics.empty() ? "]\n" : "\n]\n"));
    FinishOutput();
}

// The translation (the operand) checked against --against BASE, in the library's order.
std::vector<Diagnostic> CheckAgainst(Invocation const &invocation, RIL_LONG &result) {
    std::vector<Diagnostic> diagnostics;
    invocation.notices->Collect([&](Diagnostic found) { diagnostics.push_back(std::move(found)); });
    // The two files may differ in encoding: one that starts with EF BB BF is always UTF-8.
    result = Ril_CheckAgainst(invocation.Value("--against"), invocation.operands[0].c_str(),
                              invocation.wide ? 1 : 0, RIL_LINT_UTF8_SIGNATURE);
    invocation.notices->Flush();
    invocation.notices->Collect(nullptr);
    return diagnostics;
}

} // namespace

int RunCheck(Invocation const &invocation) {
    NoticeRenderer &notices = *invocation.notices;
    RIL_LONG result = 0;
    bool const against = invocation.Value("--against") != nullptr;
    std::vector<Diagnostic> diagnostics =
        against ? CheckAgainst(invocation, result) : LintText(invocation, result);
    // Diagnostics without a place first, then in file order; the library's order among equals.
    if (!against)
        std::stable_sort(
            diagnostics.begin(), diagnostics.end(),
            [](Diagnostic const &a, Diagnostic const &b) { return a.place < b.place; });
    if (invocation.Value("--json") != nullptr)
        PrintJson(diagnostics);
    else
        for (Diagnostic const &diagnostic : diagnostics)
            std::fputs(NoticeRenderer::Format(diagnostic).c_str(), stderr);
    bool const failed = result != 0 || notices.Errors() > 0 ||
                        (invocation.Value("--werror") != nullptr && notices.Warnings() > 0);
    return failed ? kExitFailure : kExitOk;
}

} // namespace rilcli
