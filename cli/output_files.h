// Output files the tool handles beside the library: a file kept as it was when a command
// would rewrite it with the same bytes, a BIN's holder marker set to a given holder, a
// header's path, and a text export sent to standard output.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rilcli {

// The file name that stands for standard output.
inline constexpr std::string_view kStandardStream = "-";

// Keeps an output file untouched (its bytes, inode and timestamps) when the command that
// replaces it writes the same bytes again. Before the command the old file gets a second
// name (a hard link beside it); Settle() puts it back when the new file is equal, so build
// tools see no change. Where no link can be made the file is simply replaced.
class UnchangedOutput {
  public:
    explicit UnchangedOutput(std::filesystem::path target);
    ~UnchangedOutput();
    UnchangedOutput(UnchangedOutput const &) = delete;
    UnchangedOutput &operator=(UnchangedOutput const &) = delete;

    // After the command succeeded: the old file back in place when the bytes are equal.
    void Settle();

  private:
    std::filesystem::path target_;
    std::filesystem::path previous_; // empty when there is no old file to keep
};

// Replaces the holder marker that a BIN writer of the library has just put at the end of
// `bin`, "Holder=<user>    Editor=...    StartTime=...", by the same marker with `holder`
// (ANSI code page) in place of the user, so that the BIN names no machine's user. The
// file is replaced only once it is completely written. Throws Failure.
void SetWrittenHolder(std::string const &bin, std::string const &holder);

// Refuses (throwing Failure) a holder longer than the user name a marker has room for.
void CheckHolderText(std::string const &holder);

// The path of the header that `header DIR` writes for `bin`: DIR/<name>.h, <name> being
// the BIN path up to its last '.' (within its first 519 bytes) after its last separator.
std::filesystem::path HeaderPathFor(std::string const &folder, std::string const &bin);

// Exports `bin` to a temporary file and copies that to standard output. Throws Failure.
void ExportToStandardOutput(std::string const &bin, bool wide);

} // namespace rilcli
