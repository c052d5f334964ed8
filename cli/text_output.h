// Conversion of library text to UTF-8, escaping for one-line output, JSON lines, and writing
// stdout.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace rilcli {

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// Conversions through the library (throwing Failure with its code): the ANSI code page is
// code page 0; command-line text is UTF-8, except on Windows, where it is in the ANSI one.
std::string AnsiToUtf8(std::string const &text);
std::u16string ArgumentToUtf16(std::string const &text);
std::string ArgumentToUtf8(std::string const &text);
std::string ArgumentToAnsi(std::string const &text);
std::string Utf8ToCodePage(std::string const &text, unsigned codePage);
std::string CodePageToUtf8(std::string const &text, unsigned codePage);

// The C0 controls and DEL as \xHH (when `named`, CR, LF, TAB and backslash as \r, \n, \t, \\).
std::string EscapeControls(std::string_view text, bool named = true);

using Json = nlohmann::ordered_json;

// `value` on one line, an object as {"a": 1, "b": "x"}; bytes that are no UTF-8 as U+FFFD.
std::string JsonLine(Json const &value);

// Writes to standard output; throws Failure when it cannot.
void WriteOut(std::string_view text);
void FinishOutput();

} // namespace rilcli
