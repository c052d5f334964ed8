// Exit statuses, the two kinds of error the tool reports, and how they are printed.
#pragma once

#include "Ril4410.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace rilcli {

enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

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
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(std::string const &what) : std::runtime_error(what) {}
};

// HRESULT-style codes as 0x%08X, the library's small codes in decimal.
std::string FormatLibraryCode(RIL_LONG code);

// Print "ril4410: <what> (<code>)" or the usage hint to standard error; return the status.
int ReportFailure(Failure const &failure);
int ReportUsageError(UsageError const &error);

} // namespace rilcli
