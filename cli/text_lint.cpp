// The lint of a text resource file for check and import: the tool's flags, how the file is
// read, and the diagnostics collected from the renderer.
#include "text_lint.h"

#include "arguments.h"
#include "code_page.h"
#include "notice_renderer.h"

#include <algorithm>

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

// How the tool reads the file when the library found no byte-order mark to say it.
std::string ReadAs(Invocation const &invocation) {
    if (invocation.wide)
        return "read as UTF-16LE (--wide)";
    bool const given =
        invocation.Value("--code-page") != nullptr || invocation.Value("--utf8") != nullptr;
    return "read as " + CodePageInForce() + (given ? " (given)" : " (the default)");
}

} // namespace

std::vector<Diagnostic> LintText(Invocation const &invocation, bool findingsOnly,
                                 RIL_LONG &result) {
    std::string const &path = invocation.operands[0];
    NoticeRenderer &notices = *invocation.notices;
    bool const codePageGiven =
        invocation.Value("--code-page") != nullptr || invocation.Value("--utf8") != nullptr;
    unsigned flags = RIL_LINT_STRICT_BYTES | RIL_LINT_MACRO_LIMIT_ERROR;
    flags |= codePageGiven ? 0 : RIL_LINT_UTF8_SIGNATURE;
    flags |= invocation.Value("--force") != nullptr ? 0 : RIL_LINT_NO_ITEMS_ERROR;
    flags |= findingsOnly ? RIL_LINT_FINDINGS_ONLY : 0;

    std::vector<Diagnostic> diagnostics;
    CollectScope const collecting(notices, diagnostics);
    notices.ForgetSeen();
    result = Ril_LintResTxt(path.c_str(), invocation.wide ? 1 : 0, flags);
    notices.Flush();
    if (notices.Saw("read-as-utf8-mark"))
        Ril_SetAnsiCodePage(kUtf8CodePage);
    if (!notices.Saw("read-as-utf8-mark") && !notices.Saw("read-as-utf16-mark")) {
        notices.Report(Diagnostic{Severity::kInformation, path, std::nullopt, std::nullopt,
                                  "read-as", ReadAs(invocation)});
        if (!diagnostics.empty() && diagnostics.back().messageId == "read-as")
            std::rotate(diagnostics.begin(), diagnostics.end() - 1, diagnostics.end());
    }
    return diagnostics;
}

} // namespace rilcli
