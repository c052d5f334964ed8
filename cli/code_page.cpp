// Choosing the library's ANSI code page from the command line, and probing the one in force.
#include "code_page.h"

#include "arguments.h"
#include "diagnostics.h"

#include <charconv>
#include <string_view>

namespace rilcli {
namespace {

constexpr unsigned kUtf16LittleEndian = 1200;
constexpr unsigned kUtf16BigEndian = 1201;

unsigned ParseCodePage(std::string const &text) {
    unsigned value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("invalid code page '" + text + "' (a number is expected)");
    if (value == kUtf16LittleEndian || value == kUtf16BigEndian)
        throw UsageError("code page " + text +
                         " is UTF-16, not a multibyte code page (use --wide)");
    // An empty text converts in every code page the library serves.
    if (Ril_MbcsToWcs("", nullptr, value) <= 0)
        throw UsageError("code page " + text + " is not supported");
    return value;
}

// The number of UTF-16 units that the code page in force makes of two bytes.
int UnitsOf(char const *pair) {
    return Ril_MbcsToWcs(pair, nullptr, 0) - 1;
}

} // namespace

void ApplyCodePage(Invocation const &invocation) {
    char const *const given = invocation.Value("--code-page");
    bool const utf8 = invocation.Value("--utf8") != nullptr;
    if (given != nullptr && utf8)
        throw UsageError("options '--code-page' and '--utf8' exclude each other");
    if (given != nullptr)
        Ril_SetAnsiCodePage(ParseCodePage(given));
    else if (utf8)
        Ril_SetAnsiCodePage(kUtf8CodePage);
}

unsigned ChosenCodePage() {
    unsigned const chosen = Ril_SetAnsiCodePage(0);
    Ril_SetAnsiCodePage(chosen);
    return chosen;
}

std::string CodePageInForce() {
    unsigned const chosen = ChosenCodePage();
    if (chosen != 0)
        return "code page " + std::to_string(chosen);
#if defined(_WIN32)
    return "the system's ANSI code page";
#else
    return "code page 936";
#endif
}

bool IsDoubleByteInForce() {
    // Pairs that each of these code pages reads as one character; single-byte code pages
    // and UTF-8 make two units of every one of them.
    return UnitsOf("\x81\x41") == 1 || UnitsOf("\xA4\x40") == 1 || UnitsOf("\xB0\xA1") == 1;
}

} // namespace rilcli
