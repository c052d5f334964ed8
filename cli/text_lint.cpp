// The lint of a text resource file for check and import: the tool's flags, how the file is
// read, and the diagnostics collected from the renderer.
#include "text_lint.h"

#include "arguments.h"
#include "code_page.h"
#include "notice_renderer.h"

#include <algorithm>
#include <set>
#include <string>

namespace rilcli {
namespace {

// Sends the renderer's diagnostics to a list while it lives, to standard error again after.
class CollectScope {
  public:
    CollectScope(NoticeRenderer &notices, std::vector<Diagnostic> &list) : notices_(notices) {
        notices_.Collect([&list](Diagnostic diagnostic) { list.push_back(std::move(diagnostic)); });
    }
    ~CollectScope() { notices_.Collect(nullptr); }
    CollectScope(CollectScope const &) = delete;
    CollectScope &operator=(CollectScope const &) = delete;

  private:
    NoticeRenderer &notices_;
};

// Runs `lint` (the library's lint, or the import with the lint riding on it) with the tool's
// flags and collects its diagnostics, behind a first one that says how the file is read.
template <typename Lint>
std::vector<Diagnostic> Collected(Invocation const &invocation, Lint lint, RIL_LONG &result) {
    std::string const &path = invocation.operands[0];
    NoticeRenderer &notices = *invocation.notices;
    bool const codePageGiven =
        invocation.Value("--code-page") != nullptr || invocation.Value("--utf8") != nullptr;
    unsigned flags = RIL_LINT_STRICT_BYTES | RIL_LINT_MACRO_LIMIT_ERROR;
    flags |= codePageGiven ? 0 : RIL_LINT_UTF8_SIGNATURE;
    flags |= invocation.Value("--force") != nullptr ? 0 : RIL_LINT_NO_ITEMS_ERROR;

    std::vector<Diagnostic> diagnostics;
    CollectScope const collecting(notices, diagnostics);
    notices.ForgetSeen();
    result = lint(path.c_str(), invocation.wide ? 1 : 0, flags);
    notices.Flush();
    if (notices.Saw("read-as-utf8-mark"))
        Ril_SetAnsiCodePage(kUtf8CodePage);
    if (!notices.Saw("read-as-utf8-mark") && !notices.Saw("read-as-utf16-mark")) {
        notices.Report(
            Diagnostic{Severity::kInformation, path, std::nullopt, std::nullopt, "read-as",
                       invocation.wide ? "read as UTF-16LE (--wide)"
                                       : "read as " + CodePageInForce() +
                                             (codePageGiven ? " (given)" : " (the default)")});
        if (!diagnostics.empty() && diagnostics.back().messageId == "read-as")
            std::rotate(diagnostics.begin(), diagnostics.end() - 1, diagnostics.end());
    }
    return diagnostics;
}

} // namespace

std::vector<Diagnostic> LintText(Invocation const &invocation, RIL_LONG &result) {
    return Collected(invocation, Ril_LintResTxt, result);
}

std::vector<Diagnostic> ImportText(Invocation const &invocation, char const *binPath,
                                   char const *logPath, RIL_LONG &result, bool &refused) {
    auto const import = [&](char const *path, int wide, unsigned flags) {
        return Ril_ImportResFromTxtToBinEx(path, wide, binPath, logPath, flags);
    };
    std::vector<Diagnostic> diagnostics = Collected(invocation, import, result);
    // The lint's errors under the tool's flags; after one of them the library reports nothing
    // more.
    static std::set<std::string> const refusals{
        "empty-file", "unmappable-text", "unpaired-surrogate",        "macro-would-be-cut",
        "no-items",   "no-items-utf16",  "no-items-wide-without-mark"};
    refused = result == RIL_E_IMPORT_PARSE &&
              std::any_of(diagnostics.begin(), diagnostics.end(), [](Diagnostic const &d) {
                  return d.severity == Severity::kError && refusals.count(d.messageId) != 0;
              });
    return diagnostics;
}

} // namespace rilcli
