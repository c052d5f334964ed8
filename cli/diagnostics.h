// Exit statuses, the two kinds of error the tool reports, and one diagnostic as the tool
// prints it: severity, place, message identifier and text.
#pragma once

#include "Ril4410.h"

#include <compare>
#include <optional>
#include <stdexcept>
#include <string>

namespace rilcli {

// The exit statuses: success, a failed operation, a malformed command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A failed operation (file, item, output or library call); exits with kExitFailure. `code`
// is the library's result when a library call failed.
class Failure : public std::runtime_error {
  public:
    explicit Failure(std::string const &what, std::optional<RIL_LONG> code = std::nullopt)
        : std::runtime_error(what), code_(code) {}
    std::optional<RIL_LONG> Code() const { return code_; }

  private:
    std::optional<RIL_LONG> code_;
};

// A malformed command line; exits with kExitUsage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A 1-based line and column in a text file, as the library counts them.
struct TextPlace {
    long long line = 1;
    long long column = 1;
    auto operator<=>(TextPlace const &) const = default; // in file order
};

// The library's severities (RIL_SEVERITY) and the tool's alike.
enum class Severity { kError = 0, kWarning = 1, kInformation = 2 };

struct Diagnostic {
    Severity severity = Severity::kError;
    std::string file;                    // empty when the diagnostic concerns no file
    std::optional<TextPlace> place;      // where in `file`, when known
    std::optional<TextPlace> firstPlace; // a repeated ID or macro: the first definition
    std::string messageId;               // e.g. "duplicate-id", "id-not-a-number"
    std::string text;                    // UTF-8
};

// The severity as a word: short as GNU-style lines print it ("info"), or in full as the
// JSON report names it ("information").
inline char const *SeverityWord(Severity severity, bool full = false) {
    if (severity == Severity::kInformation)
        return full ? "information" : "info";
    return severity == Severity::kWarning ? "warning" : "error";
}

} // namespace rilcli
