// Choosing the library's ANSI code page from the command line or the locale, and probing the
// one in force.
#include "code_page.h"

#include "arguments.h"
#include "diagnostics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace rilcli {
namespace {

unsigned ParseCodePage(std::string const &text) {
    unsigned value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("invalid code page '" + text + "' (a number is expected)");
    if (value == 1200 || value == 1201) // UTF-16LE and UTF-16BE
        throw UsageError("code page " + text +
                         " is UTF-16, not a multibyte code page (use --wide)");
    // An empty text converts in every code page the library serves.
    if (Ril_MbcsToWcs("", nullptr, value) <= 0)
        throw UsageError("code page " + text + " is not supported");
    return value;
}

// The codeset of a locale's value ("zh_CN.UTF-8@euro" gives "UTF-8").
std::string_view Codeset(std::string_view locale) {
    locale = locale.substr(0, locale.find('@'));
    std::size_t const dot = locale.find('.');
    return dot == locale.npos ? locale : locale.substr(dot + 1);
}

} // namespace

unsigned CodePageOfLocale(std::string_view locale) {
    static constexpr std::pair<std::string_view, unsigned> kCodesets[] = {
        {"UTF8", kUtf8CodePage}, {"GB18030", 54936}, {"GBK", 936},  {"GB2312", 936},
        {"BIG5", 950},           {"SHIFTJIS", 932},  {"SJIS", 932}, {"EUCKR", 949}};
    std::string name;
    for (char const c : Codeset(locale))
        if (c != '-' && c != '_')
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto const found = std::find_if(std::begin(kCodesets), std::end(kCodesets),
                                    [&](auto const &codeset) { return codeset.first == name; });
    return found == std::end(kCodesets) ? 0 : found->second;
}

std::optional<std::string> ApplyCodePage(Invocation const &invocation, EnvironmentLookup lookup) {
    if (char const *const given = invocation.Value("--code-page")) {
        Ril_SetAnsiCodePage(ParseCodePage(given));
    } else if (invocation.Value("--utf8") != nullptr) {
        Ril_SetAnsiCodePage(kUtf8CodePage);
    } else {
#if defined(_WIN32)
        (void)lookup; // the system's ANSI code page, the default, is the locale's
#else
        char const *const locale = FirstSet({"LC_ALL", "LC_CTYPE", "LANG"}, lookup);
        unsigned const chosen = locale != nullptr ? CodePageOfLocale(locale) : 0;
        if (chosen != 0) {
            Ril_SetAnsiCodePage(chosen);
            return "code page " + std::to_string(chosen) + " (from the locale's codeset " +
                   std::string(Codeset(locale)) + ")";
        }
#endif
    }
    return std::nullopt;
}

std::string CodePageInForce() {
#if defined(_WIN32)
    if (Ril_GetChosenAnsiCodePage() == 0)
        return "the system's ANSI code page";
#endif
    return "code page " + std::to_string(Ril_GetAnsiCodePage());
}

} // namespace rilcli
