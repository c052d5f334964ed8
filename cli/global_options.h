// Options that apply to every command: the language of the library's messages and --quiet.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rilcli {

enum class MessageLanguage { kEnglish, kChinese };

struct GlobalOptions {
    MessageLanguage language = MessageLanguage::kEnglish;
    bool quiet = false; // errors only
};

// Takes "--lang zh|en" (or "--lang=...") and "--quiet" out of `arguments`, up to a "--", and
// returns the other arguments in order. The values of other options pass untouched, however
// they read (`valueCount` tells how many follow an option; "--add 1 M --quiet" adds the text
// "--quiet"). Without --lang the language comes from the environment
// (LanguageFromEnvironment). Throws UsageError for a missing or unknown language.
std::vector<char const *> TakeGlobalOptions(std::span<char const *const> arguments,
                                            GlobalOptions &options,
                                            std::size_t (*valueCount)(std::string_view) = nullptr);

// Chinese when the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty starts
// with "zh", else English. `lookup` reads a variable (null when unset).
MessageLanguage LanguageFromEnvironment(char const *(*lookup)(char const *name));

} // namespace rilcli
