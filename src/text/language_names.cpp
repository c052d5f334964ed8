// Ril_StringToLanguage: a language keyword, in any ASCII letter case, to ENUM_LANGUAGE_TYPE.
#include "Ril4410.h"

#include "core/safe_text.h"
#include "core/export_guard.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace ril {
namespace {

// Keywords in the order of ENUM_LANGUAGE_TYPE's values.
constexpr std::array<const char *, 25> kLanguageKeywords = {
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

ENUM_LANGUAGE_TYPE ToLanguage(const char *name) {
    if (name == nullptr)
        return RIL_LANG_MULTILANGUAGE;
    char copy[kNameSize];
    SafeCopyA(copy, sizeof copy, name); // a longer name is cut to 255 bytes
    UpperCaseAscii(copy);
    for (std::size_t i = 0; i < kLanguageKeywords.size(); ++i)
        if (std::strcmp(copy, kLanguageKeywords[i]) == 0)
            return static_cast<ENUM_LANGUAGE_TYPE>(i);
    return RIL_LANG_MULTILANGUAGE;
}

} // namespace
} // namespace ril

extern "C" RIL_API ENUM_LANGUAGE_TYPE Ril_StringToLanguage(char const *name) {
    return ril::Guarded(RIL_LANG_MULTILANGUAGE, [&] { return ril::ToLanguage(name); });
}
