// Reading whole input files through the C library, keeping errno for the reason.
#include "input_files.h"

#include "diagnostics.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace rilcli {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;

struct ReadOutcome {
    std::vector<std::uint8_t> bytes;
    char const *failedStep = nullptr; // "open" or "read" when it failed
    int error = 0;
};

ReadOutcome Read(std::string const &path) {
    ReadOutcome outcome;
    if (IsDirectory(path)) {
        // Opening a directory succeeds on some systems and fails otherwise: say it alike.
        outcome.failedStep = "open";
        outcome.error = EISDIR;
        return outcome;
    }
    errno = 0;
    File const file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        outcome.failedStep = "open";
        outcome.error = errno;
        return outcome;
    }
    unsigned char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;)
        outcome.bytes.insert(outcome.bytes.end(), block, block + got);
    if (std::ferror(file.get())) {
        outcome.failedStep = "read";
        outcome.error = errno;
    }
    return outcome;
}

[[noreturn]] void Fail(ReadOutcome const &outcome, std::string const &path) {
    throw Failure(std::string("cannot ") + outcome.failedStep + " '" + path +
                  "': " + SystemReason(outcome.error));
}

} // namespace

bool IsDirectory(std::string const &path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string SystemReason(int error) {
    if (error == 0)
        return "unknown error";
    return std::strerror(error);
}

std::vector<std::uint8_t> ReadWholeFileOrFail(std::string const &path) {
    ReadOutcome outcome = Read(path);
    if (outcome.failedStep != nullptr)
        Fail(outcome, path);
    return std::move(outcome.bytes);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string const &path) {
    ReadOutcome outcome = Read(path);
    if (outcome.failedStep != nullptr)
        return std::nullopt;
    return std::move(outcome.bytes);
}

void RequireReadableFile(std::string const &path) {
    ReadOutcome outcome;
    outcome.failedStep = "open";
    outcome.error = EISDIR;
    if (IsDirectory(path))
        Fail(outcome, path);
    errno = 0;
    File const file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        outcome.error = errno;
        Fail(outcome, path);
    }
}

} // namespace rilcli
