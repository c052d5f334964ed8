// One diagnostic as the tool prints it: severity, place, message identifier and text.
#pragma once

#include <compare>
#include <optional>
#include <string>

namespace rilcli {

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
