// Language keywords, as Ril_StringToLanguage reads them.
#pragma once

namespace ril::text {

// The position of the multilanguage keyword, also the answer for a name that is none.
constexpr unsigned kNoLanguage = 0;

// The position of `name` (any ASCII letter case, cut to 255 bytes) among the 25 language
// keywords, or kNoLanguage for null or an unknown name.
unsigned LanguageIndex(char const *name);

} // namespace ril::text
