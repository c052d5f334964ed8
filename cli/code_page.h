// The code page of multibyte texts: --code-page N and --utf8, else the locale's, and questions
// about the one in force.
#pragma once

#include "arguments.h"

#include <optional>
#include <string>
#include <string_view>

namespace rilcli {

struct Invocation;

inline constexpr unsigned kUtf8CodePage = 65001;

// The code page a locale's codeset names (after '.' up to '@'; any case, '-' and '_'), else 0.
unsigned CodePageOfLocale(std::string_view locale);

// Sets the library's ANSI code page from --code-page or --utf8, else from the codeset of the
// first of LC_ALL, LC_CTYPE and LANG that is set (not on Windows, where the system's is the
// locale's). Returns how the locale chose, for --verbose; throws UsageError for a bad one.
std::optional<std::string> ApplyCodePage(Invocation const &invocation,
                                         EnvironmentLookup lookup = &Environment);

// The code page chosen for code page 0, or 0 when the default is in force.
unsigned ChosenCodePage();

// "code page N" for the code page in force.
std::string CodePageInForce();

} // namespace rilcli
