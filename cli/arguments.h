// The command table's entry type and the parsing of the command line against that table.
#pragma once

#include "Ril4410.h"

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace rilcli {

struct Invocation;
struct ParsedLine;
class NoticeRenderer;

// An option that takes a value, as "--name VALUE" or "--name=VALUE".
struct ValueOption {
    char const *name;
    char const *value;
};

// One command: its name, its operands as shown in the usage, how many it takes, whether it
// accepts --wide, a one-line summary, the function that runs it, its value options and its
// flags (options without a value beside --wide).
//
// A command with its own grammar sets `parse` and `usage` instead of the operands, options
// and summary: `parse` receives every argument except the command word, in order, and
// `usage` is its whole entry in the usage text (lines indented by two blanks).
struct CommandSpec {
    char const *name;
    char const *operands;
    std::size_t operandCount;
    bool acceptsWide;
    char const *summary;
    int (*run)(Invocation const &);
    std::span<ValueOption const> valueOptions = {};
    ParsedLine (*parse)(CommandSpec const &command,
                        std::span<char const *const> arguments) = nullptr;
    char const *usage = nullptr;
    std::span<char const *const> flags = {};
};

// An option that a command with its own grammar allows more than once, with its values.
struct RepeatedOption {
    std::string name;
    std::vector<std::string> values;
};

struct Invocation {
    CommandSpec const *command = nullptr;
    std::vector<std::string> operands;
    bool wide = false;
    // Value options given, by name (for example "--log"); flags other than --wide are mapped
    // to an empty string.
    std::map<std::string, std::string> values;
    // Options given more than once by a command with its own grammar, in command-line order.
    std::vector<RepeatedOption> repeated;
    // Where the library's notices and the tool's diagnostics go (set by main).
    NoticeRenderer *notices = nullptr;

    // The value of an option, or null when it was not given.
    char const *Value(std::string const &name) const {
        auto const found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    }
};

enum class Request { kRun, kHelp, kVersion };

struct ParsedLine {
    Request request = Request::kRun;
    Invocation invocation;
};

// Whether `name` is an option that takes a value in any of `commands`' grammar tables.
bool IsValueOption(std::string_view name, std::span<CommandSpec const> commands);

// Options may stand anywhere; "--" ends them. --help wins over everything else, then
// --version. Throws UsageError for an unknown command or option or a wrong operand count.
// The command word is the first argument that is neither an option nor an option's value;
// a command with its own grammar then parses the other arguments itself.
ParsedLine ParseArguments(std::span<char const *const> arguments,
                          std::span<CommandSpec const> commands);

// An ID in decimal or, with a 0x prefix, hexadecimal, at most 0xFFFFFFFF; throws UsageError.
RIL_ULONG ParseId(std::string const &text);

std::string UsageText(std::span<CommandSpec const> commands);

} // namespace rilcli
