// Command-line parsing on CLI11, and the usage text, both driven by the command table.
#include "arguments.h"

#include "diagnostics.h"
#include "usage_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace rilcli {
namespace {

// An option as the table writes it: "--name", "--name VALUE", "--name A B C", "--name V...".
struct OptionShape {
    std::string name;
    std::string values; // as messages show them
    int count = 0;      // how many values follow the name
    bool repeatable = false;
};

OptionShape Shape(std::string_view text) {
    OptionShape shape;
    shape.repeatable = text.ends_with("...");
    if (shape.repeatable)
        text.remove_suffix(3);
    std::size_t const blank = std::min(text.find(' '), text.size());
    shape.name = text.substr(0, blank);
    if (blank < text.size()) {
        shape.values = text.substr(blank + 1);
        shape.count =
            1 + static_cast<int>(std::count(shape.values.begin(), shape.values.end(), ' '));
    }
    return shape;
}

// The options that every command takes: --lang's value, and the flags.
constexpr char const *kGlobalOptions[] = {"--lang zh|en", "--quiet", "--version"};

// Options that exclude each other wherever both apply.
constexpr std::pair<char const *, char const *> kExclusive[] = {{"--wide", "--narrow"},
                                                                {"--code-page", "--utf8"},
                                                                {"--set", "--clear"},
                                                                {"--commit", "--discard"},
                                                                {"--quiet", "--verbose"}};

std::string Synopsis(CommandSpec const &command) {
    if (command.synopsis != nullptr)
        return command.synopsis;
    std::string text = std::string(command.name) + " " + command.operands;
    for (char const *option : command.options)
        text += std::string(" [") + option + "]";
    return text;
}

} // namespace

std::string UsageHint(CommandSpec const &command, bool alternate) {
    std::string synopsis = Synopsis(command);
    // A command with a second form lists it on a line of its own: the hint names one form.
    std::size_t const split = synopsis.find(std::string("\n  ") + command.name + " ");
    if (split != std::string::npos)
        synopsis = alternate ? synopsis.substr(split + 3) : synopsis.substr(0, split);
    // A synopsis that the usage text breaks over lines is one line in a message.
    for (std::size_t at; (at = synopsis.find('\n')) != std::string::npos;)
        synopsis.replace(at, synopsis.find_first_not_of(' ', at + 1) - at, " ");
    return " (usage: ril4410 " + synopsis + ")";
}

namespace {

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The command line as CLI11 apps: one subcommand per command ("module list" nested), operands
// as one positional. Unknown options fall through and are left over; messages are the tool's.
class CommandLine {
  public:
    explicit CommandLine(std::span<CommandSpec const> commands) : commands_(commands) {
        app_.option_defaults()->disable_flag_override()->multi_option_policy(
            CLI::MultiOptionPolicy::TakeAll);
        app_.set_help_flag("-h,--help");
        AddOptions(app_, kGlobalOptions);
        app_.require_subcommand(0, 1);
        for (CommandSpec const &command : commands) {
            std::string_view name = command.name;
            CLI::App *parent = &app_;
            if (std::size_t const blank = name.find(' '); blank != name.npos) {
                parent = Group(std::string(name.substr(0, blank)));
                name.remove_prefix(blank + 1);
            }
            CLI::App *const app = parent->add_subcommand(std::string(name))->fallthrough();
            app->add_option("operands")->expected(-1);
            AddOptions(*app, command.options);
            specs_[app] = &command;
        }
    }

    ParsedLine Parse(std::span<char const *const> arguments) {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        MoveCommandWordFirst(reversed);
        try {
            app_.parse(reversed);
        } catch (CLI::CallForHelp const &) {
            return ParsedLine{Request::kHelp, {}, {}};
        } catch (CLI::ExtrasError const &) {
            throw UsageError(LeftOver());
        } catch (CLI::ArgumentMismatch const &error) {
            throw UsageError(Mismatch(error.what()));
        } catch (CLI::ParseError const &error) {
            throw UsageError(error.what());
        }
        if (app_.get_option("--version")->count() > 0)
            return ParsedLine{Request::kVersion, {}, {}};
        ParsedLine line;
        line.options.quiet = app_.get_option("--quiet")->count() > 0;
        line.options.language = Language();
        CLI::App const *const app = Deepest();
        if (app == nullptr)
            throw UsageError("no command given");
        if (!specs_.contains(app))
            throw UsageError("missing subcommand (usage: ril4410 " + app->get_name() +
                             " list|edit MODULE ...)");
        line.invocation = Fill(*app, *specs_.at(app));
        if (line.options.quiet)
            line.invocation.values["--quiet"];
        for (auto const &[first, second] : kExclusive)
            if (line.invocation.Value(first) != nullptr && line.invocation.Value(second) != nullptr)
                throw UsageError(std::string("options '") + first + "' and '" + second +
                                 "' exclude each other");
        line.invocation.values.erase("--quiet");
        line.invocation.wide = line.invocation.values.erase("--wide") > 0;
        if (line.invocation.command->check != nullptr)
            line.invocation.command->check(line.invocation);
        return line;
    }

  private:
    void AddOptions(CLI::App &app, std::span<char const *const> options) {
        for (char const *text : options) {
            OptionShape const shape = Shape(text);
            shapes_.emplace(shape.name, shape);
            if (shape.count == 0)
                app.add_flag(shape.name);
            else
                app.add_option(shape.name)->type_size(shape.count);
        }
    }

    CLI::App *Group(std::string const &name) {
        for (CLI::App *app :
             app_.get_subcommands([&](CLI::App *a) { return a->get_name() == name; }))
            return app;
        return app_.add_subcommand(name)->fallthrough()->require_subcommand(0, 1);
    }

    // The (sub)command given, or null.
    CLI::App const *Deepest() const {
        CLI::App const *deepest = nullptr;
        for (CLI::App const *app = &app_; !app->get_subcommands().empty();)
            deepest = app = app->get_subcommands().front();
        return deepest;
    }

    // The shape of an option of any command.
    OptionShape const *Find(std::string_view name) const {
        auto const found = shapes_.find(std::string(name));
        return found == shapes_.end() ? nullptr : &found->second;
    }

    bool IsGroup(std::string_view word) const {
        return std::any_of(commands_.begin(), commands_.end(), [&](CommandSpec const &command) {
            return std::string_view(command.name).starts_with(std::string(word) + " ");
        });
    }

    // Options may stand before the command word: it moves to the front, options keep order.
    void MoveCommandWordFirst(std::vector<std::string> &reversed) const {
        for (std::size_t i = reversed.size(); i-- > 0;) {
            std::string const &argument = reversed[i];
            if (argument == "--" || !IsOption(argument)) {
                if (i + 1 < reversed.size() && argument != "--") {
                    bool const group = i > 0 && !IsOption(reversed[i - 1]) && IsGroup(argument);
                    std::size_t const first = group ? i - 1 : i;
                    std::rotate(reversed.begin() + first, reversed.begin() + i + 1, reversed.end());
                }
                return;
            }
            OptionShape const *const shape =
                argument.find('=') == argument.npos ? Find(argument) : nullptr;
            if (shape != nullptr)
                i -= std::min<std::size_t>(shape->count, i);
        }
    }

    // The message for the first argument that no command took.
    std::string LeftOver() const {
        std::vector<std::string> const rest = app_.remaining(true);
        std::string const &first = rest.front();
        CLI::App const *const app = Deepest();
        if (IsOption(first)) {
            std::string const name = first.substr(0, first.find('='));
            auto const takes = [&](CLI::App const *other) {
                return other->get_option_no_throw(name) != nullptr;
            };
            if (app != nullptr && !app->get_parent()->get_subcommands(takes).empty())
                return "option '" + name + "' does not apply to '" +
                       (specs_.contains(app) ? specs_.at(app)->name : app->get_name()) + "'";
            return "unknown option '" + first + "'";
        }
        if (app == nullptr)
            return "unknown command '" + first + "'";
        if (!specs_.contains(app))
            return "unknown subcommand '" + app->get_name() + " " + first + "' (list or edit)";
        return "too many operands" + UsageHint(*specs_.at(app));
    }

    // CLI11's message for an option without its values names the option first.
    std::string Mismatch(std::string const &what) const {
        std::string name = what.substr(0, what.find_first_of(": "));
        if (!name.starts_with("-"))
            name = "--" + name; // a flag given a value is named without its dashes
        OptionShape const *const shape = Find(name);
        if (shape == nullptr || shape->count == 0)
            return "option '" + name + "' takes no value";
        if (shape->count == 1)
            return "option '" + name + "' needs a value";
        return "option '" + name + "' needs " + std::to_string(shape->count) + " values (" +
               shape->values + ")";
    }

    MessageLanguage Language() const {
        CLI::Option const *const lang = app_.get_option("--lang");
        if (lang->count() == 0)
            return LanguageFromEnvironment();
        std::string const &value = lang->results().back();
        if (value != "zh" && value != "en")
            throw UsageError("invalid language '" + value + "' (zh or en)");
        return value == "zh" ? MessageLanguage::kChinese : MessageLanguage::kEnglish;
    }

    Invocation Fill(CLI::App const &app, CommandSpec const &command) const {
        Invocation invocation;
        invocation.command = &command;
        if (app.get_parent() != &app_)
            invocation.operands.push_back(app.get_name());
        std::vector<std::string> const &operands = app.get_option("operands")->results();
        invocation.operands.insert(invocation.operands.end(), operands.begin(), operands.end());
        bool const alternate = command.alternateOption != nullptr &&
                               app.get_option(command.alternateOption)->count() > 0;
        std::size_t const expected = alternate ? command.alternateCount : command.operandCount;
        if (operands.size() != expected)
            throw UsageError(
                (operands.size() < expected ? "missing operand" : "too many operands") +
                UsageHint(command, alternate));
        for (char const *text : command.options) {
            OptionShape const shape = Shape(text);
            CLI::Option const *const option = app.get_option(shape.name);
            if (shape.repeatable || option->count() == 0)
                continue;
            if (shape.count > 0 && option->count() > static_cast<std::size_t>(shape.count))
                throw UsageError("option '" + shape.name + "' is given more than once");
            invocation.values[shape.name] = shape.count > 0 ? option->results().front() : "";
        }
        // Options that may repeat, in order: CLI11 notes the option of each value it takes.
        std::map<CLI::Option const *, std::size_t> taken;
        for (CLI::Option const *option : app.parse_order()) {
            std::string const name = option->get_name();
            OptionShape const *const known = Find(name);
            if (known == nullptr || !known->repeatable)
                continue;
            std::vector<RepeatedOption> &repeated = invocation.repeated;
            if (repeated.empty() || repeated.back().name != name ||
                repeated.back().values.size() == static_cast<std::size_t>(known->count))
                repeated.push_back({name, {}});
            repeated.back().values.push_back(option->results()[taken[option]++]);
        }
        return invocation;
    }

    std::span<CommandSpec const> commands_;
    CLI::App app_{"", "ril4410"};
    std::map<CLI::App const *, CommandSpec const *> specs_;
    std::map<std::string, OptionShape> shapes_; // of every option, by name
};

} // namespace

ParsedLine ParseArguments(std::span<char const *const> arguments,
                          std::span<CommandSpec const> commands) {
    return CommandLine(commands).Parse(arguments);
}

RIL_ULONG ParseId(std::string const &text) {
    int const base = text.starts_with("0x") || text.starts_with("0X") ? 16 : 10;
    std::string_view const digits = std::string_view(text).substr(base == 16 ? 2 : 0);
    std::uint64_t value = 0;
    auto const [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > 0xFFFFFFFFu)
        throw UsageError("invalid ID '" + text + "' (a number from 0 to 4294967295 is expected)");
    return static_cast<RIL_ULONG>(value);
}

char const *FirstSet(std::initializer_list<char const *> names, EnvironmentLookup lookup) {
    for (char const *name : names)
        if (char const *const value = lookup(name); value != nullptr && *value != '\0')
            return value;
    return nullptr;
}

MessageLanguage LanguageFromEnvironment(EnvironmentLookup lookup) {
    char const *const locale = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"}, lookup);
    return locale != nullptr && std::string_view(locale).starts_with("zh")
               ? MessageLanguage::kChinese
               : MessageLanguage::kEnglish;
}

std::string UsageText(std::span<CommandSpec const> commands) {
    std::string text = "Usage: ril4410 COMMAND OPERANDS... [OPTIONS]\n"
                       "       ril4410 --help | --version\n"
                       "\n"
                       "Commands:\n";
    for (CommandSpec const &command : commands)
        text += "  " + Synopsis(command) + "\n      " + command.summary + "\n";
    return text + "\n" + kUsageOptions;
}

} // namespace rilcli
