// Language keywords: a keyword, in any ASCII letter case, to its position in the table.
#include "text/language_names.h"

#include "core/safe_text.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace ril::text {
namespace {

// Keywords in the order of the exported language values.
constexpr std::array<char const *, 25> kLanguageKeywords = {
    "MULTILANGUAGE", "ENGLISH",   "FRENCH",    "GERMAN",  "CHINESEPRC", "CHINESETAIWAN", "JAPANESE",
    "KOREAN",        "RUSSIAN",   "MUNGARIAN", "SPANISH", "PORTUGUESE", "DANISH",        "DUTCH",
    "FINNISH",       "CZECH",     "GREEK",     "ITALIAN", "NORWEGIAN",  "POLISH",        "SLOVAK",
    "SWEDISH",       "SLOVENIAN", "ENGLISHUK", "TAGALOG"};

constexpr std::size_t kNameSize = 256;

// Upper-cases ASCII a to z in place, as _strupr does in the default locale.
void UpperCaseAscii(char *text) {
    for (; *text != 0; ++text)
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
}

} // namespace

unsigned LanguageIndex(char const *name) {
    if (name == nullptr)
        return kNoLanguage;
    char copy[kNameSize];
    core::SafeCopyA(copy, sizeof copy, name); // a longer name is cut to 255 bytes
    UpperCaseAscii(copy);
    for (std::size_t i = 0; i < kLanguageKeywords.size(); ++i)
        if (std::strcmp(copy, kLanguageKeywords[i]) == 0)
            return static_cast<unsigned>(i);
    return kNoLanguage;
}

} // namespace ril::text
