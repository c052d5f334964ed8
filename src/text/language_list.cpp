// Expanding a colon-separated language list into the languages a file chain tries.
#include "text/language_list.h"

#include <algorithm>

namespace ril::text {
namespace {

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

void AddOnce(std::vector<std::string> &languages, std::string_view language) {
    if (std::find(languages.begin(), languages.end(), language) == languages.end())
        languages.emplace_back(language);
}

} // namespace

std::vector<std::string> ExpandLanguages(std::string_view list) {
    std::vector<std::string> languages;
    while (!list.empty()) {
        std::size_t const colon = list.find(':');
        std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        entry = entry.substr(0, entry.find_first_of(".@"));
        if (entry.empty() || !std::all_of(entry.begin(), entry.end(), IsNameCharacter))
            continue;
        AddOnce(languages, entry);
        std::size_t const territory = entry.find('_');
        if (territory != std::string_view::npos && territory > 0)
            AddOnce(languages, entry.substr(0, territory));
    }
    return languages;
}

} // namespace ril::text
