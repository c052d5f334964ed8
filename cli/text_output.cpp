// UTF-8 output and the conversion of command-line text: code-page conversion through the
// library, a UTF-16 encoder, control-character escaping and checked writes to standard output.
#include "text_output.h"

#include "Ril4410.h"
#include "diagnostics.h"

#include <cstdio>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace rilcli {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string &out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The code page of the arguments that main receives.
#if defined(_WIN32)
constexpr unsigned kArgumentCodePage = 0;
#else
constexpr unsigned kArgumentCodePage = 65001; // UTF-8
#endif

std::u16string MultibyteToUtf16(std::string const &text, unsigned codePage, char const *failure) {
    // A size query first; the size counts the terminating zero unit.
    int const size = Ril_MbcsToWcs(text.c_str(), nullptr, codePage);
    if (size <= 0)
        throw Failure(failure, Ril_GetLastError());
    std::vector<RIL_WCHAR> buffer(static_cast<std::size_t>(size));
    if (Ril_MbcsToWcs(text.c_str(), buffer.data(), codePage) <= 0)
        throw Failure(failure, Ril_GetLastError());
    return std::u16string(buffer.begin(), buffer.end() - 1);
}

} // namespace

void PrepareStandardStreams() {
#if defined(_WIN32)
    // Texts may hold LF on their own; the output must keep exactly the bytes written.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

std::string Utf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t const unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            char32_t const high = unit - 0xD800;
            char32_t const low = units[++i] - 0xDC00;
            AppendUtf8(out, 0x10000 + (high << 10) + low);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string AnsiToUtf16(std::string const &text) {
    return MultibyteToUtf16(text, 0, "cannot convert text from the ANSI code page");
}

std::u16string ArgumentToUtf16(std::string const &text) {
    return MultibyteToUtf16(text, kArgumentCodePage, "cannot convert a command-line text");
}

std::string ArgumentToAnsi(std::string const &text) {
    std::u16string const wide = ArgumentToUtf16(text);
    std::vector<RIL_WCHAR> const units(wide.c_str(), wide.c_str() + wide.size() + 1);
    int const size = Ril_WcsToMbcs(units.data(), nullptr, 0);
    if (size <= 0)
        throw Failure("cannot convert text to the ANSI code page", Ril_GetLastError());
    std::vector<char> buffer(static_cast<std::size_t>(size));
    if (Ril_WcsToMbcs(units.data(), buffer.data(), 0) <= 0)
        throw Failure("cannot convert text to the ANSI code page", Ril_GetLastError());
    return std::string(buffer.data(), buffer.size() - 1);
}

std::string ArgumentToUtf8(std::string const &text) {
    return Utf16ToUtf8(ArgumentToUtf16(text));
}

std::string Utf8ToCodePage(std::string const &text, unsigned codePage) {
    std::u16string const wide = MultibyteToUtf16(text, 65001, "cannot convert text from UTF-8");
    std::vector<RIL_WCHAR> const units(wide.c_str(), wide.c_str() + wide.size() + 1);
    int const size = Ril_WcsToMbcs(units.data(), nullptr, codePage);
    if (size <= 0)
        throw Failure("cannot convert text from UTF-8", Ril_GetLastError());
    std::vector<char> buffer(static_cast<std::size_t>(size));
    if (Ril_WcsToMbcs(units.data(), buffer.data(), codePage) <= 0)
        throw Failure("cannot convert text from UTF-8", Ril_GetLastError());
    return std::string(buffer.data(), buffer.size() - 1);
}

std::string CodePageToUtf8(std::string const &text, unsigned codePage) {
    return Utf16ToUtf8(MultibyteToUtf16(text, codePage, "cannot convert text to UTF-8"));
}

std::string AnsiToUtf8(std::string const &text) {
    return Utf16ToUtf8(AnsiToUtf16(text));
}

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char const c : text) {
        unsigned char const byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) { // ESC, BEL and the like never reach a terminal
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out;
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
