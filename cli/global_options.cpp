// Parsing of the options that every command takes, before the command's own parsing.
#include "global_options.h"

#include "diagnostics.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace rilcli {
namespace {

MessageLanguage ParseLanguage(std::string_view value) {
    if (value == "en")
        return MessageLanguage::kEnglish;
    if (value == "zh")
        return MessageLanguage::kChinese;
    throw UsageError("invalid language '" + std::string(value) + "' (zh or en)");
}

char const *Environment(char const *name) {
    return std::getenv(name);
}

} // namespace

MessageLanguage LanguageFromEnvironment(char const *(*lookup)(char const *name)) {
    for (char const *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        char const *const value = lookup(name);
        if (value != nullptr && *value != '\0')
            return std::string_view(value).starts_with("zh") ? MessageLanguage::kChinese
                                                             : MessageLanguage::kEnglish;
    }
    return MessageLanguage::kEnglish;
}

std::vector<char const *> TakeGlobalOptions(std::span<char const *const> arguments,
                                            GlobalOptions &options,
                                            std::size_t (*valueCount)(std::string_view)) {
    std::vector<char const *> rest;
    bool languageGiven = false;
    bool ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view const argument = arguments[i];
        if (ended || argument.substr(0, 2) != "--") {
            rest.push_back(arguments[i]);
        } else if (argument == "--") {
            ended = true;
            rest.push_back(arguments[i]);
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (argument.starts_with("--lang=")) {
            options.language = ParseLanguage(argument.substr(7));
            languageGiven = true;
        } else if (argument == "--lang") {
            if (i + 1 == arguments.size())
                throw UsageError("option '--lang' needs a value");
            options.language = ParseLanguage(arguments[++i]);
            languageGiven = true;
        } else {
            // An option's values pass as they are, even one that reads "--quiet".
            std::size_t const values = valueCount != nullptr ? valueCount(argument) : 0;
            std::size_t const end = std::min(i + 1 + values, arguments.size());
            rest.insert(rest.end(), arguments.begin() + i, arguments.begin() + end);
            i = end - 1;
        }
    }
    if (!languageGiven)
        options.language = LanguageFromEnvironment(&Environment);
    return rest;
}

} // namespace rilcli
