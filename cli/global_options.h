// Options that apply to every command: the language of the library's messages and --quiet.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace rilcli {

enum class MessageLanguage { kEnglish, kChinese };

struct GlobalOptions {
    MessageLanguage language = MessageLanguage::kEnglish;
    bool quiet = false; // errors only
};

// Takes "--lang zh|en" (or "--lang=...") and "--quiet" out of `arguments`, up to a "--", and
// returns the other arguments in order. Without --lang the language comes from the
// environment (LanguageFromEnvironment). Throws UsageError for a missing or unknown language.
std::vector<char const *> TakeGlobalOptions(std::span<char const *const> arguments,
                                            GlobalOptions &options);

// Chinese when the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty starts
// with "zh", else English. `lookup` reads a variable (null when unset).
MessageLanguage LanguageFromEnvironment(char const *(*lookup)(char const *name));

} // namespace rilcli
