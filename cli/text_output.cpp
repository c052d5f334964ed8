// UTF-8 output and the conversion of command-line text: code-page conversion through the
// library, control-character escaping, JSON lines and checked writes to standard output.
#include "text_output.h"

#include "Ril4410.h"
#include "diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace rilcli {
namespace {

// The code page of the arguments that main receives.
#if defined(_WIN32)
constexpr unsigned kArgumentCodePage = 0;
#else
constexpr unsigned kArgumentCodePage = 65001; // UTF-8
#endif

std::u16string MultibyteToUtf16(std::string const &text, unsigned codePage, char const *failure) {
    // A size query first; the size counts the terminating zero unit.
    int const size = Ril_MbcsToWcs(text.c_str(), nullptr, codePage);
    std::vector<RIL_WCHAR> buffer(static_cast<std::size_t>(std::max(size, 1)));
    if (size <= 0 || Ril_MbcsToWcs(text.c_str(), buffer.data(), codePage) <= 0)
        throw Failure(failure, Ril_GetLastError());
    return std::u16string(buffer.begin(), buffer.end() - 1);
}

std::string Utf16ToMultibyte(std::u16string_view text, unsigned codePage, char const *failure) {
    std::vector<RIL_WCHAR> units(text.begin(), text.end());
    units.push_back(0);
    int const size = Ril_WcsToMbcs(units.data(), nullptr, codePage);
    std::vector<char> buffer(static_cast<std::size_t>(std::max(size, 1)));
    if (size <= 0 || Ril_WcsToMbcs(units.data(), buffer.data(), codePage) <= 0)
        throw Failure(failure, Ril_GetLastError());
    return std::string(buffer.data(), buffer.size() - 1);
}

} // namespace

std::string Utf16ToUtf8(std::u16string_view units) {
    std::u16string paired(units);
    for (std::size_t i = 0; i < paired.size(); ++i) {
        bool const high = paired[i] >= 0xD800 && paired[i] <= 0xDBFF;
        if (high && i + 1 < paired.size() && paired[i + 1] >= 0xDC00 && paired[i + 1] <= 0xDFFF)
            ++i;
        else if (high || (paired[i] >= 0xDC00 && paired[i] <= 0xDFFF))
            paired[i] = u'\uFFFD';
    }
    return Utf16ToMultibyte(paired, 65001, "cannot convert text to UTF-8");
}

std::u16string ArgumentToUtf16(std::string const &text) {
    return MultibyteToUtf16(text, kArgumentCodePage, "cannot convert a command-line text");
}

std::string ArgumentToAnsi(std::string const &text) {
    return Utf16ToMultibyte(ArgumentToUtf16(text), 0, "cannot convert text to the ANSI code page");
}

std::string ArgumentToUtf8(std::string const &text) {
    return Utf16ToUtf8(ArgumentToUtf16(text));
}

std::string Utf8ToCodePage(std::string const &text, unsigned codePage) {
    char const *const failure = "cannot convert text from UTF-8";
    return Utf16ToMultibyte(MultibyteToUtf16(text, 65001, failure), codePage, failure);
}

std::string CodePageToUtf8(std::string const &text, unsigned codePage) {
    return Utf16ToUtf8(MultibyteToUtf16(text, codePage, "cannot convert text to UTF-8"));
}

std::string AnsiToUtf8(std::string const &text) {
    return Utf16ToUtf8(MultibyteToUtf16(text, 0, "cannot convert text from the ANSI code page"));
}

std::string EscapeControls(std::string_view text, bool named) {
    static constexpr std::string_view kNamed = "\r\n\t\\";
    std::string out;
    for (char const c : text) {
        unsigned char const byte = static_cast<unsigned char>(c);
        char escaped[5] = {c, '\0'};
        if (std::size_t const name = kNamed.find(c); named && name != kNamed.npos)
            std::snprintf(escaped, sizeof escaped, "\\%c", "rnt\\"[name]);
        else if (byte < 0x20 || byte == 0x7F) // ESC, BEL and the like never reach a terminal
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

std::string JsonLine(Json const &value) {
    if (!value.is_object() || value.empty())
        return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string line;
    for (auto const &member : value.items())
        line +=
            (line.empty() ? "{" : ", ") + JsonLine(member.key()) + ": " + JsonLine(member.value());
    return line + "}";
}

void WriteOut(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        throw Failure("cannot write to standard output");
}

void FinishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw Failure("cannot write to standard output");
}

} // namespace rilcli
