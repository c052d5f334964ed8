// Parsing of the holder and module command lines: a small grammar per (sub)command with
// flags, single-valued, repeatable and three-valued options.
#include "module_arguments.h"

#include "diagnostics.h"

#include <algorithm>
#include <string_view>

namespace rilcli {

char const kHolderUsage[] =
    "  holder FILE [--set TEXT | --clear]\n"
    "      print the holder of FILE, the text of its newest holder marker, as\n"
    "      \"holder: TEXT\", \"empty holder marker\", \"no holder marker\" (holder flag 0)\n"
    "      or \"not a BIN (no holder flag)\"; --set appends a marker holding TEXT,\n"
    "      --clear an empty one (FILE must exist)\n";

char const kModuleUsage[] =
    "  module list MODULE [--wide]\n"
    "      print every item record of a resource module as ID<TAB>MACRO<TAB>TEXT, in\n"
    "      ascending ID order; resources that hold no item record are named on\n"
    "      standard error\n"
    "  module edit MODULE (--commit | --discard) [--wide] [--holder TEXT]\n"
    "         [--first-id ID] [--add ID|new MACRO TEXT]... [--remove ID]...\n"
    "         [--header DIR --bin FILE.bin]\n"
    "      edit a resource module in one session: apply the additions and removals in\n"
    "      command-line order, then commit them into MODULE or discard them; prints\n"
    "      \"added ID MACRO\", \"removed ID\" or \"not present ID\" for each\n";

namespace {

struct OptionSpec {
    char const *name;
    std::size_t valueCount;
    char const *values; // as shown in messages
    bool repeatable;
};

// --wide is known, so that it is refused as not applying rather than as unknown.
constexpr OptionSpec kHolderOptions[] = {
    {"--set", 1, "TEXT", false},    {"--clear", 0, "", false}, {"--wide", 0, "", false},
    {"--code-page", 1, "N", false}, {"--utf8", 0, "", false},
};

constexpr OptionSpec kModuleOptions[] = {
    {"--wide", 0, "", false},        {"--holder", 1, "TEXT", false},
    {"--first-id", 1, "ID", false},  {"--add", 3, "ID|new MACRO TEXT", true},
    {"--remove", 1, "ID", true},     {"--commit", 0, "", false},
    {"--discard", 0, "", false},     {"--header", 1, "DIR", false},
    {"--bin", 1, "FILE.bin", false}, {"--code-page", 1, "N", false},
    {"--utf8", 0, "", false},
};

OptionSpec const *FindOption(std::span<OptionSpec const> options, std::string_view name) {
    auto const found = std::find_if(options.begin(), options.end(),
                                    [&](OptionSpec const &option) { return name == option.name; });
    return found == options.end() ? nullptr : &*found;
}

std::size_t ValueCountIn(std::span<OptionSpec const> options, std::string_view name) {
    OptionSpec const *const option = FindOption(options, name);
    return option != nullptr ? option->valueCount : 0;
}

// One form of a command: its name in messages, its synopsis, its operand count and the
// options it allows.
struct Grammar {
    char const *name;
    char const *synopsis;
    std::size_t operandCount;
    std::span<std::string_view const> allowed;
};

constexpr std::string_view kHolderAllowed[] = {"--set", "--clear", "--code-page", "--utf8"};
constexpr std::string_view kListAllowed[] = {"--wide", "--code-page", "--utf8"};
constexpr std::string_view kEditAllowed[] = {"--wide",   "--holder",    "--first-id", "--add",
                                             "--remove", "--commit",    "--discard",  "--header",
                                             "--bin",    "--code-page", "--utf8"};

constexpr Grammar kHolderGrammar = {"holder", "holder FILE [--set TEXT | --clear]", 1,
                                    kHolderAllowed};
constexpr Grammar kListGrammar = {"module list", "module list MODULE [--wide]", 1, kListAllowed};
constexpr Grammar kEditGrammar = {
    "module edit",
    "module edit MODULE (--commit | --discard) [--wide] [--holder TEXT] [--first-id ID] "
    "[--add ID|new MACRO TEXT]... [--remove ID]... [--header DIR --bin FILE.bin]",
    1, kEditAllowed};

struct GivenOption {
    OptionSpec const *known;
    std::vector<std::string> values;
};

// The arguments split into positionals and options with their values, before any grammar
// of a subcommand applies.
struct Tokens {
    bool help = false;
    bool version = false;
    std::vector<std::string> positional;
    std::vector<GivenOption> options;
};

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

Tokens Tokenize(std::span<char const *const> arguments, std::span<OptionSpec const> options) {
    Tokens tokens;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view const argument = arguments[i];
        if (optionsEnded || !IsOption(argument)) {
            tokens.positional.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            tokens.help = true;
            continue;
        }
        if (argument == "--version") {
            tokens.version = true;
            continue;
        }
        std::size_t const equals = argument.find('=');
        std::string_view const name = argument.substr(0, equals);
        OptionSpec const *const known = FindOption(options, name);
        if (known == nullptr)
            throw UsageError("unknown option '" + std::string(argument) + "'");
        GivenOption given{known, {}};
        if (equals != std::string_view::npos) {
            if (known->valueCount == 0)
                throw UsageError("option '" + std::string(name) + "' takes no value");
            given.values.emplace_back(argument.substr(equals + 1));
        }
        while (given.values.size() < known->valueCount) {
            if (i + 1 >= arguments.size()) {
                if (known->valueCount == 1)
                    throw UsageError("option '" + std::string(name) + "' needs a value");
                throw UsageError("option '" + std::string(name) + "' needs " +
                                 std::to_string(known->valueCount) + " values (" + known->values +
                                 ")");
            }
            given.values.emplace_back(arguments[++i]);
        }
        tokens.options.push_back(std::move(given));
    }
    return tokens;
}

std::string UsageHint(Grammar const &grammar) {
    return std::string(" (usage: ril4410 ") + grammar.synopsis + ")";
}

// Checks operands and options against the grammar and builds the invocation; `operands`
// are the positionals that belong to the grammar (after a subcommand).
Invocation Apply(Grammar const &grammar, CommandSpec const &command, Tokens const &tokens,
                 std::span<std::string const> operands) {
    if (operands.size() < grammar.operandCount)
        throw UsageError("missing operand" + UsageHint(grammar));
    if (operands.size() > grammar.operandCount)
        throw UsageError("too many operands" + UsageHint(grammar));
    Invocation invocation;
    invocation.command = &command;
    for (GivenOption const &option : tokens.options) {
        std::string const name = option.known->name;
        if (std::find(grammar.allowed.begin(), grammar.allowed.end(), name) ==
            grammar.allowed.end())
            throw UsageError("option '" + name + "' does not apply to '" + grammar.name + "'");
        if (option.known->repeatable) {
            invocation.repeated.push_back({name, option.values});
            continue;
        }
        if (invocation.values.contains(name))
            throw UsageError("option '" + name + "' is given more than once");
        invocation.values[name] = option.values.empty() ? std::string() : option.values.front();
    }
    invocation.wide = invocation.values.erase("--wide") > 0;
    return invocation;
}

void RequireExclusive(Invocation const &invocation, char const *first, char const *second) {
    if (invocation.Value(first) != nullptr && invocation.Value(second) != nullptr)
        throw UsageError(std::string("options '") + first + "' and '" + second +
                         "' exclude each other");
}

// A macro as the import accepts it: upper-case letters, digits and underscores, at least one.
void CheckMacro(std::string const &macro) {
    bool const valid = !macro.empty() && std::all_of(macro.begin(), macro.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
    if (!valid)
        throw UsageError("invalid macro '" + macro +
                         "' (upper-case letters, digits and underscores are expected)");
}

ParsedLine HelpOrVersion(Tokens const &tokens) {
    ParsedLine line;
    line.request = tokens.help ? Request::kHelp : Request::kVersion;
    return line;
}

} // namespace

std::size_t OwnGrammarValueCount(std::string_view name) {
    return std::max(ValueCountIn(kHolderOptions, name), ValueCountIn(kModuleOptions, name));
}

ParsedLine ParseHolderLine(CommandSpec const &command, std::span<char const *const> arguments) {
    Tokens const tokens = Tokenize(arguments, kHolderOptions);
    if (tokens.help || tokens.version)
        return HelpOrVersion(tokens);
    ParsedLine line;
    line.invocation = Apply(kHolderGrammar, command, tokens, tokens.positional);
    RequireExclusive(line.invocation, "--set", "--clear");
    line.invocation.operands = tokens.positional;
    return line;
}

ParsedLine ParseModuleLine(CommandSpec const &command, std::span<char const *const> arguments) {
    Tokens const tokens = Tokenize(arguments, kModuleOptions);
    if (tokens.help || tokens.version)
        return HelpOrVersion(tokens);
    if (tokens.positional.empty())
        throw UsageError("missing subcommand (usage: ril4410 module list|edit MODULE ...)");
    std::string const &subcommand = tokens.positional.front();
    Grammar const *grammar = subcommand == "list"   ? &kListGrammar
                             : subcommand == "edit" ? &kEditGrammar
                                                    : nullptr;
    if (grammar == nullptr)
        throw UsageError("unknown subcommand 'module " + subcommand + "' (list or edit)");

    ParsedLine line;
    Invocation &invocation = line.invocation;
    invocation = Apply(*grammar, command, tokens, std::span(tokens.positional).subspan(1));
    invocation.operands = tokens.positional;
    if (grammar == &kEditGrammar) {
        RequireExclusive(invocation, "--commit", "--discard");
        if (invocation.Value("--commit") == nullptr && invocation.Value("--discard") == nullptr)
            throw UsageError("one of '--commit' and '--discard' is required" + UsageHint(*grammar));
        if (invocation.Value("--header") != nullptr && invocation.Value("--bin") == nullptr)
            throw UsageError("option '--header' needs '--bin FILE.bin', the BIN that the header "
                             "is written for");
        if (char const *first = invocation.Value("--first-id"))
            ParseId(first);
        for (RepeatedOption const &option : invocation.repeated) {
            if (option.name != "--add" || option.values.front() != kNewId)
                ParseId(option.values.front());
            if (option.name == "--add")
                CheckMacro(option.values[1]);
        }
    }
    return line;
}

} // namespace rilcli
