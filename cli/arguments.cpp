// Command-line parsing and the usage text, both driven by the command table.
#include "arguments.h"

#include "diagnostics.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace rilcli {
namespace {

std::string Synopsis(CommandSpec const &command) {
    std::string text = std::string(command.name) + " " + command.operands;
    if (command.acceptsWide)
        text += " [--wide]";
    for (char const *flag : command.flags)
        text += std::string(" [") + flag + "]";
    for (ValueOption const &option : command.valueOptions)
        if (std::string_view(command.operands).find(option.name) == std::string_view::npos)
            text += std::string(" [") + option.name + " " + option.value + "]";
    return text;
}

// Whether any command takes `name` as a flag.
bool IsFlag(std::string_view name, std::span<CommandSpec const> commands) {
    return std::any_of(commands.begin(), commands.end(), [&](CommandSpec const &command) {
        return std::any_of(command.flags.begin(), command.flags.end(),
                           [&](char const *flag) { return name == flag; });
    });
}

// Whether `command` takes `name` as a value option or a flag.
bool Accepts(CommandSpec const &command, std::string const &name) {
    return std::any_of(command.valueOptions.begin(), command.valueOptions.end(),
                       [&](ValueOption const &option) { return name == option.name; }) ||
           std::any_of(command.flags.begin(), command.flags.end(),
                       [&](char const *flag) { return name == flag; });
}

// The command of that name; of a command with two forms, the second when the line gives an
// option that the second form alone takes.
CommandSpec const &FindCommand(std::string const &name, std::span<CommandSpec const> commands,
                               std::map<std::string, std::string> const &values) {
    auto const named = [&](CommandSpec const &command) { return name == command.name; };
    auto const found = std::find_if(commands.begin(), commands.end(), named);
    if (found == commands.end())
        throw UsageError("unknown command '" + name + "'");
    auto const second = std::find_if(found + 1, commands.end(), named);
    bool const secondOption = std::any_of(values.begin(), values.end(), [&](auto const &value) {
        return second != commands.end() && Accepts(*second, value.first) &&
               !Accepts(*found, value.first);
    });
    return secondOption ? *second : *found;
}

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The position of the command word, read with the rules of the loop in ParseArguments, or
// the number of arguments when there is none.
std::size_t CommandWordIndex(std::span<char const *const> arguments,
                             std::span<CommandSpec const> commands) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view const argument = arguments[i];
        if (argument == "--")
            return i + 1;
        if (!IsOption(argument))
            return i;
        if (argument.find('=') == std::string_view::npos && IsValueOption(argument, commands))
            ++i;
    }
    return arguments.size();
}

} // namespace

bool IsValueOption(std::string_view name, std::span<CommandSpec const> commands) {
    return std::any_of(commands.begin(), commands.end(), [&](CommandSpec const &command) {
        return std::any_of(command.valueOptions.begin(), command.valueOptions.end(),
                           [&](ValueOption const &option) { return name == option.name; });
    });
}

ParsedLine ParseArguments(std::span<char const *const> arguments,
                          std::span<CommandSpec const> commands) {
    std::size_t const commandIndex = CommandWordIndex(arguments, commands);
    if (commandIndex < arguments.size()) {
        std::string const word = arguments[commandIndex];
        auto const own = std::find_if(commands.begin(), commands.end(), [&](CommandSpec const &c) {
            return c.parse != nullptr && word == c.name;
        });
        if (own != commands.end()) {
            std::vector<char const *> rest(arguments.begin(), arguments.end());
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(commandIndex));
            return own->parse(*own, rest);
        }
    }

    bool help = false;
    bool version = false;
    bool wide = false;
    bool optionsEnded = false;
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view const argument = arguments[i];
        std::string_view const name = argument.substr(0, argument.find('='));
        if (optionsEnded || !IsOption(argument)) {
            positional.emplace_back(argument);
        } else if (IsValueOption(name, commands)) {
            if (name.size() < argument.size())
                values[std::string(name)] = std::string(argument.substr(name.size() + 1));
            else if (i + 1 < arguments.size())
                values[std::string(name)] = arguments[++i];
            else
                throw UsageError("option '" + std::string(name) + "' needs a value");
        } else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--help" || argument == "-h")
            help = true;
        else if (argument == "--version")
            version = true;
        else if (argument == "--wide")
            wide = true;
        else if (IsFlag(argument, commands))
            values[std::string(argument)] = std::string();
        else
            throw UsageError("unknown option '" + std::string(argument) + "'");
    }

    ParsedLine line;
    if (help || version) {
        line.request = help ? Request::kHelp : Request::kVersion;
        return line;
    }
    if (positional.empty())
        throw UsageError("no command given");
    CommandSpec const &command = FindCommand(positional.front(), commands, values);
    std::size_t const operandCount = positional.size() - 1;
    if (operandCount < command.operandCount)
        throw UsageError("missing operand (usage: ril4410 " + Synopsis(command) + ")");
    if (operandCount > command.operandCount)
        throw UsageError("too many operands (usage: ril4410 " + Synopsis(command) + ")");
    if (wide && !command.acceptsWide)
        throw UsageError(std::string("option '--wide' does not apply to '") + command.name + "'");

    for (auto const &[name, value] : values)
        if (!Accepts(command, name))
            throw UsageError("option '" + name + "' does not apply to '" + command.name + "'");
    if (wide && values.contains("--narrow"))
        throw UsageError("options '--wide' and '--narrow' exclude each other");

    line.invocation.command = &command;
    line.invocation.values = std::move(values);
    line.invocation.operands.assign(positional.begin() + 1, positional.end());
    line.invocation.wide = wide;
    return line;
}

RIL_ULONG ParseId(std::string const &text) {
    std::string_view digits = text;
    int base = 10;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    auto const [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > 0xFFFFFFFFu)
        throw UsageError("invalid ID '" + text + "' (a number from 0 to 4294967295 is expected)");
    return static_cast<RIL_ULONG>(value);
}

std::string UsageText(std::span<CommandSpec const> commands) {
    std::string text = "Usage: ril4410 COMMAND OPERANDS... [OPTIONS]\n"
                       "       ril4410 --help | --version\n"
                       "\n"
                       "Commands:\n";
    for (CommandSpec const &command : commands) {
        if (command.usage != nullptr)
            text += command.usage;
        else
            text += "  " + Synopsis(command) + "\n      " + command.summary + "\n";
    }
    text += "\n"
            "Options:\n"
            "  --wide        the texts are wide (UTF-16). A text file that starts with a\n"
            "                UTF-16 byte-order mark is always read as wide\n"
            "  --narrow      the texts are multibyte, in the ANSI code page (936, GBK,\n"
            "                outside Windows). Without --wide or --narrow, import reads\n"
            "                multibyte text and the other commands take the flavour that\n"
            "                most of the BIN's records fit\n"
            "  --force       use the flavour given even when most of the BIN's records fit\n"
            "                the other one; import: write a BIN even when a non-empty text\n"
            "                file yields no items\n"
            "  --code-page N the code page of multibyte texts, macros and holder texts\n"
            "                (for example 936, 54936, 932, 950, 1252 or 65001); all\n"
            "                commands but resave take it. Without it, import reads a text\n"
            "                file that starts with EF BB BF as UTF-8\n"
            "  --utf8        short for --code-page 65001\n"
            "  --verbose     import, check: also print information (how the text file is\n"
            "                read, the gap count; check: the IDs that will be assigned)\n"
            "  --quiet       print errors only (no warnings); any command\n"
            "  --lang zh|en  the language of the library's messages; any command. Without\n"
            "                it, Chinese when LC_ALL, LC_MESSAGES or LANG (the first set)\n"
            "                starts with \"zh\", else English. The tool's own messages are\n"
            "                English\n"
            "  --werror      check: warnings fail the check too\n"
            "  --json        check: print the diagnostics as a JSON array on standard\n"
            "                output; dump: print {\"flavour\", \"holder\", \"items\"} as JSON\n"
            "  --log FILE    write the import log to FILE (GBK text, replaced each run)\n"
            "  --set TEXT    holder: append a holder marker holding TEXT\n"
            "  --clear       holder: append an empty holder marker\n"
            "  --commit      module edit: write the edits into MODULE, one RCDATA resource\n"
            "                per item\n"
            "  --discard     module edit: throw the edits away\n"
            "  --holder TEXT import: the BIN's holder marker names TEXT instead of the\n"
            "                user; module edit: append a holder marker holding TEXT to\n"
            "                MODULE before the session begins\n"
            "  --if-changed  import, header: leave the output file untouched (and its\n"
            "                time stamp) when its content would not change\n"
            "  --first-id ID module edit: new IDs start above the larger of ID and the\n"
            "                module's highest ID + 1, and go up by two (default 0)\n"
            "  --add ID|new MACRO TEXT\n"
            "                module edit: add the item ID, or replace it in the session;\n"
            "                \"new\" gives it a new ID\n"
            "  --remove ID   module edit: remove the item ID (\"not present\" when neither\n"
            "                the session nor the module holds it)\n"
            "  --bin FILE.bin\n"
            "                module edit: load FILE.bin before the session\n"
            "  --header DIR  module edit: after the session, write the header of the BIN\n"
            "                loaded with --bin into DIR, named as header names it (FILE.h)\n"
            "  -h, --help    print this help and exit\n"
            "  --version     print the version and exit\n"
            "\n"
            "ID is decimal, or hexadecimal with a 0x prefix. Macros and texts are printed\n"
            "in UTF-8; in them carriage return, line feed, tab and backslash are written\n"
            "as \\r, \\n, \\t and \\\\, so that every item stays on one line.\n"
            "Texts, macros and holder texts given on the command line are read as UTF-8\n"
            "(on Windows, in the ANSI code page) and stored in the ANSI code page; with\n"
            "--wide, texts are stored as UTF-16.\n"
            "\n"
            "OUT.txt - makes export write the text to standard output; '-' stands for no\n"
            "other file. The holder markers that import and resave write carry the time\n"
            "of SOURCE_DATE_EPOCH (in UTC) when it is set, for reproducible BINs.\n"
            "\n"
            "A resource module is a Windows module (a DLL) that keeps each item as an\n"
            "RCDATA resource named by the item's ID (its low 16 bits); outside Windows\n"
            "the tool reads and rewrites the module's resource section itself. A module\n"
            "edit that fails is discarded, and ending a session appends an empty holder\n"
            "marker to the module's file.\n"
            "\n"
            "Before the library reads a BIN, the tool checks its structure (holder flag 0\n"
            "or 1, every entry inside the file before the holder marker, macro lengths\n"
            "inside their records) and refuses a file that is not a BIN. Import refuses a\n"
            "non-empty text file in which no item can be found, and warns when a valid\n"
            "UTF-8 file is read in a double-byte code page. A refusal writes nothing.\n"
            "\n"
            "Diagnostics go to standard error, one line each, as\n"
            "  ril4410: FILE:LINE:COL: error: TEXT      (warning:, info:, and\n"
            "  ril4410: FILE:LINE:COL: note: first defined here   for a repeated ID or macro)\n"
            "or without the place (ril4410: FILE: error: TEXT) or the file. Lines and\n"
            "columns count from 1; columns count characters (a double-byte or a UTF-16\n"
            "surrogate pair is one). A failed file operation names the system's reason.\n"
            "\n"
            "Exit status: 0 on success, 1 when a file, an item or the library fails (check:\n"
            "when it finds an error, or a warning with --werror), 2 for a malformed command\n"
            "line.\n";
    return text;
}

} // namespace rilcli
