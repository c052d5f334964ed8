// The command table's entry type, the invocation that the commands read, the parsing of the
// command line (on CLI11) against that table, and the options that apply to every command.
#pragma once

#include "Ril4410.h"

#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace rilcli {

enum class MessageLanguage { kEnglish, kChinese };

struct GlobalOptions {
    MessageLanguage language = MessageLanguage::kEnglish;
    bool quiet = false; // errors only
};

// Reads an environment variable, null when it is unset: std::getenv, or a table in tests.
using EnvironmentLookup = char const *(*)(char const *name);
inline char const *Environment(char const *name) {
    return std::getenv(name);
}

// The value of the first of `names` that is set and not empty, or null.
char const *FirstSet(std::initializer_list<char const *> names, EnvironmentLookup lookup);

// Chinese when the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty starts
// with "zh", else English.
MessageLanguage LanguageFromEnvironment(EnvironmentLookup lookup = &Environment);

struct Invocation;
class NoticeRenderer;

// One command ("module list" for a subcommand). Options in usage order: "--name" for a flag,
// "--name VALUE" ("--name A B C" takes three), a trailing "..." for one that may repeat.
// `synopsis` replaces the one made of these; `check` checks what the grammar cannot.
struct CommandSpec {
    char const *name;
    char const *operands;
    std::size_t operandCount;
    char const *summary;
    int (*run)(Invocation const &);
    std::span<char const *const> options = {};
    char const *synopsis = nullptr;
    void (*check)(Invocation const &) = nullptr;
    // A second form: with this option given, the command takes `alternateCount` operands.
    char const *alternateOption = nullptr;
    std::size_t alternateCount = 0;
};

// An option that may repeat, with its values, in command-line order among the others.
struct RepeatedOption {
    std::string name;
    std::vector<std::string> values;
};

struct Invocation {
    CommandSpec const *command = nullptr;
    // For a subcommand ("module list"), its word first.
    std::vector<std::string> operands;
    bool wide = false;
    // Options given, by name ("--log"); flags other than --wide map to an empty string.
    std::map<std::string, std::string> values;
    std::vector<RepeatedOption> repeated; // in command-line order
    // Where the library's notices and the tool's diagnostics go (set by main).
    NoticeRenderer *notices = nullptr;

    char const *Value(std::string const &name) const {
        auto const found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    }
};

enum class Request { kRun, kHelp, kVersion };

struct ParsedLine {
    Request request = Request::kRun;
    GlobalOptions options;
    Invocation invocation;
};

// Options stand after the command word (before it too, when they are unambiguous); "--" ends
// them. --help wins over everything else, then --version. The values of options pass
// untouched, however they read ("--add 1 M --quiet" adds the text "--quiet"). Throws
// UsageError for an unknown command or option, a missing value or a wrong operand count.
ParsedLine ParseArguments(std::span<char const *const> arguments,
                          std::span<CommandSpec const> commands);

// An ID in decimal or, with a 0x prefix, hexadecimal, at most 0xFFFFFFFF; throws UsageError.
RIL_ULONG ParseId(std::string const &text);

// " (usage: ril4410 SYNOPSIS)", the synopsis on one line.
std::string UsageHint(CommandSpec const &command, bool alternate = false);

std::string UsageText(std::span<CommandSpec const> commands);

} // namespace rilcli
