// UTF-8 production for the tool's output: code-page conversion through the library, a
// UTF-16 encoder, control-character escaping and checked writes to standard output.
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
    // A size query first; the size counts the terminating zero unit.
    int const size = Ril_MbcsToWcs(text.c_str(), nullptr, 0);
    if (size <= 0)
        throw Failure("cannot convert text from the ANSI code page", Ril_GetLastError());
    std::vector<RIL_WCHAR> buffer(static_cast<std::size_t>(size));
    if (Ril_MbcsToWcs(text.c_str(), buffer.data(), 0) <= 0)
        throw Failure("cannot convert text from the ANSI code page", Ril_GetLastError());
    return std::u16string(buffer.begin(), buffer.end() - 1);
}

std::string AnsiToUtf8(std::string const &text) {
    return Utf16ToUtf8(AnsiToUtf16(text));
}

std::string AnsiToUtf8OrRaw(std::string const &text) {
    try {
        return AnsiToUtf8(text);
    } catch (Failure const &) {
        return text;
    }
}

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char const c : text) {
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
            out += c;
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
