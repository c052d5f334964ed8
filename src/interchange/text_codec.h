// Texts of a table in UTF-8 and back, converted by the library in its ANSI code page (the
// multibyte flavour) or as UTF-16LE (the wide flavour).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ril::interchange {

// UTF-8 of a table's text (bytes as the record holds them); none when the bytes are no text
// of the code page (or no UTF-16), so that no round trip could give them back.
std::optional<std::string> TextToUtf8(std::string_view bytes, bool wide);

// The table's bytes for a UTF-8 text; none when the code page cannot hold a character of it.
std::optional<std::string> Utf8ToText(std::string_view utf8, bool wide);

// Whether `text` is well-formed UTF-8 without zero bytes.
bool IsUtf8(std::string_view text);

// The text of a macro in UTF-8 and back (macros are in the ANSI code page in both flavours).
std::optional<std::string> MacroToUtf8(std::string_view bytes);
std::optional<std::string> Utf8ToMacro(std::string_view utf8);

} // namespace ril::interchange
