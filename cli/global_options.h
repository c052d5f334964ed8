// Options that apply to every command: the language of the library's messages and --quiet,
// and the environment that decides the language without --lang.
#pragma once

#include <cstdlib>
#include <initializer_list>

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

} // namespace rilcli
