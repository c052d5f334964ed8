// The lint of a text resource file: what the import reports and what it takes silently,
// found by the one parser as it reads the file (Ril_LintResTxt).
#pragma once

#include "core/result_codes.h"

#include <memory>

namespace ril::core {
class PlaceFinder;
}
namespace ril::text {
class TxtParseObserver;
}

namespace ril::tools {

// The lint's options (the public RIL_LINT_ flags).
enum class LintFlag : unsigned {
    StrictBytes = 0x1,     // bytes that are no character of the code page are an error
    MacroLimitError = 0x2, // a macro the import would cut is an error
    Utf8Signature = 0x4,   // a multibyte file starting EF BB BF is read as UTF-8
    NoItemsError = 0x8,    // a file with content but no item is an error
    FindingsOnly = 0x10,   // the lint's own findings alone: no parser notices, no validation
};

// Whether `flags` (the public RIL_LINT_ bits) hold `flag`.
constexpr bool HasFlag(unsigned flags, LintFlag flag) {
    return (flags & static_cast<unsigned>(flag)) != 0;
}

// Lints `txtPath` read as `wide` asks; reports every finding as a notice and writes nothing.
// kSOk, kErrArgument for a null path, kErrImportParse when an error was reported.
core::HResult LintTxt(char const *txtPath, int wide, unsigned flags);

// The lint riding on another run of the parser (the import's): hand Observer() to LoadTxt,
// then Report() raises the findings in file order, to the log too when given, and says
// whether one of them is an error. A code page switched for a UTF-8 signature stays in force
// while it lives.
class Linter;
class TxtLintRun {
  public:
    TxtLintRun(char const *txtPath, int wide, unsigned flags);
    ~TxtLintRun();
    TxtLintRun(TxtLintRun const &) = delete;
    TxtLintRun &operator=(TxtLintRun const &) = delete;

    text::TxtParseObserver &Observer();
    core::PlaceFinder const &Places() const;
    bool Report(char const *logPath);

  private:
    std::unique_ptr<Linter> linter_;
};

} // namespace ril::tools
