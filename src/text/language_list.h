// The languages of a colon-separated list ("fr_CA.UTF-8@euro:de") as a chain of language
// files names them, the way gettext expands its LANGUAGE list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ril::text {

// The list's languages in order: codeset (".UTF-8") and modifier ("@euro") dropped, each
// xx_YY followed by its xx, each language once. Empty entries, and names holding anything
// but ASCII letters, digits, '_' and '-' (which could lead out of the folder), are left out.
std::vector<std::string> ExpandLanguages(std::string_view list);

} // namespace ril::text
