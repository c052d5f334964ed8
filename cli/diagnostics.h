// Exit statuses and the two kinds of error the tool reports.
#pragma once

#include "Ril4410.h"

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

} // namespace rilcli
