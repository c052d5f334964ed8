// Checks of a text resource file ahead of the import: byte-order marks, the item keyword in
// the flavour that will be read, and UTF-8 read in a double-byte code page.
#include "import_checks.h"

#include "arguments.h"
#include "code_page.h"
#include "diagnostics.h"
#include "input_files.h"
#include "notice_renderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

namespace rilcli {
namespace {

using Bytes = std::span<std::uint8_t const>;

constexpr std::string_view kKeyword = "RilStringID=";

bool StartsWith(Bytes bytes, std::initializer_list<std::uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool HasUtf16Mark(Bytes bytes) {
    return StartsWith(bytes, {0xFF, 0xFE});
}
bool HasUtf8Mark(Bytes bytes) {
    return StartsWith(bytes, {0xEF, 0xBB, 0xBF});
}

bool HasKeyword(Bytes bytes) {
    return std::search(bytes.begin(), bytes.end(), kKeyword.begin(), kKeyword.end()) != bytes.end();
}

// The keyword as UTF-16LE units, at any offset when `aligned` is false.
bool HasWideKeyword(Bytes bytes, bool aligned) {
    std::vector<std::uint8_t> pattern;
    for (char const c : kKeyword)
        pattern.insert(pattern.end(), {static_cast<std::uint8_t>(c), 0});
    for (auto at = bytes.begin();;) {
        at = std::search(at, bytes.end(), pattern.begin(), pattern.end());
        if (at == bytes.end())
            return false;
        if (!aligned || (at - bytes.begin()) % 2 == 0)
            return true;
        ++at;
    }
}

bool EveryOtherByteZero(Bytes bytes, std::size_t first) {
    for (std::size_t i = first; i < bytes.size(); i += 2)
        if (bytes[i] != 0)
            return false;
    return true;
}

bool LooksLikeUtf16(Bytes bytes) {
    return HasWideKeyword(bytes, false) ||
           (bytes.size() >= 2 && (EveryOtherByteZero(bytes, 0) || EveryOtherByteZero(bytes, 1)));
}

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF) and hold at least one non-ASCII character.
bool IsUtf8WithNonAscii(Bytes bytes) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        std::uint8_t const lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        std::size_t const length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || lead < 0xC2 || lead > 0xF4 || bytes.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        std::uint8_t const second = bytes[i + 1];
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false;
        i += length;
    }
    return nonAscii;
}

void Note(Invocation const &invocation, Severity severity, std::string const &path,
          std::string const &text) {
    invocation.notices->Report(
        Diagnostic{severity, path, std::nullopt, std::nullopt,
                   severity == Severity::kWarning ? "utf8-read-as-dbcs" : "read-as", text});
}

// The reason a non-empty file yields no items, or nothing when it holds the keyword.
std::optional<std::string> NoItems(Bytes bytes, bool wide) {
    std::string const none = "no items: no '" + std::string(kKeyword) + "' found";
    if (wide) {
        bool const mark = HasUtf16Mark(bytes);
        if (HasWideKeyword(bytes.subspan(mark ? 2 : 0), true))
            return std::nullopt;
        if (mark)
            return none;
        return none + " in UTF-16 and the file has no FF FE byte-order mark: it may be "
                      "multibyte text (drop --wide)";
    }
    if (HasKeyword(bytes))
        return std::nullopt;
    if (LooksLikeUtf16(bytes))
        return none + "; the file looks like UTF-16: give --wide";
    return none;
}

bool ReadsWide(Invocation const &invocation, Bytes bytes, std::string const &path) {
    Severity const info = Severity::kInformation;
    if (HasUtf16Mark(bytes)) {
        Note(invocation, info, path, "read as UTF-16LE (byte-order mark FF FE)");
        return true;
    }
    if (invocation.wide) {
        Note(invocation, info, path, "read as UTF-16LE (--wide)");
        return true;
    }
    char const *reason = "the default";
    if (invocation.Value("--code-page") != nullptr || invocation.Value("--utf8") != nullptr) {
        reason = "given";
    } else if (HasUtf8Mark(bytes)) {
        Ril_SetAnsiCodePage(kUtf8CodePage);
        reason = "UTF-8 byte-order mark";
    }
    Note(invocation, info, path, "read as " + CodePageInForce() + " (" + reason + ")");
    return false;
}

} // namespace

bool PrepareImport(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    std::optional<std::vector<std::uint8_t>> const bytes = ReadWholeFileOrFail(path);
    // Big-endian UTF-16 is the library's to refuse.
    if (StartsWith(*bytes, {0xFE, 0xFF}))
        return invocation.wide;
    bool const wide = ReadsWide(invocation, *bytes, path);
    std::size_t const mark = HasUtf16Mark(*bytes) ? 2 : HasUtf8Mark(*bytes) && !wide ? 3 : 0;
    if (bytes->size() > mark && invocation.Value("--force") == nullptr)
        if (std::optional<std::string> const reason = NoItems(*bytes, wide))
            throw ImportRefusal(path, *reason);
    if (!wide && IsDoubleByteInForce() && IsUtf8WithNonAscii(*bytes))
        Note(invocation, Severity::kWarning, path,
             "the file is valid UTF-8 but is read as " + CodePageInForce() +
                 "; give --code-page 65001 if it is UTF-8");
    return wide;
}

} // namespace rilcli
