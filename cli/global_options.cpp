// The environment variables that choose the language of the library's messages.
#include "global_options.h"

#include <string_view>

namespace rilcli {

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

} // namespace rilcli
