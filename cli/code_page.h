// The code page of multibyte texts: --code-page N and --utf8, else the locale's, and questions
// about the one in force.
#pragma once

#include "global_options.h"

#include <optional>
#include <string>
#include <string_view>

namespace rilcli {

struct Invocation;

inline constexpr unsigned kUtf8CodePage = 65001;

// The code page that a locale's codeset names (the part after '.' up to '@', or the whole
// value without a '.'), in any letter case, with or without '-' and '_'; 0 for any other.
unsigned CodePageOfLocale(std::string_view locale);

// Makes the library's ANSI code page the one given with --code-page or --utf8, else the one
// that the locale's codeset names (the first of LC_ALL, LC_CTYPE and LANG that is set and not
// empty decides; on Windows the system's ANSI code page is the locale's), else leaves the
// library's default. Returns how the locale chose, for --verbose. Throws UsageError for a
// malformed or unsupported code page.
std::optional<std::string> ApplyCodePage(Invocation const &invocation,
                                         EnvironmentLookup lookup = &Environment);

// "code page N" for the code page in force (the default one where the tool cannot tell its
// number).
std::string CodePageInForce();

} // namespace rilcli
