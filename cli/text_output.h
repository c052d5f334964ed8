// Conversion of library text to UTF-8, escaping for one-line output, and writing stdout.
#pragma once

#include <string>
#include <string_view>

namespace rilcli {

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// Text in the library's ANSI code page (code page 0) to UTF-8 through Ril_MbcsToWcs; throws
// Failure with the library's code when the conversion fails.
std::string AnsiToUtf8(std::string const &text);

// Text from the command line to UTF-16, and on to the ANSI code page, through
// Ril_MbcsToWcs and Ril_WcsToMbcs; throws Failure with the library's code. The command line
// is UTF-8 (code page 65001), except on Windows, where the C runtime gives the arguments in
// the ANSI code page.
std::u16string ArgumentToUtf16(std::string const &text);
std::string ArgumentToUtf8(std::string const &text);

// Between UTF-8 and a given code page; throw Failure when the library cannot convert.
std::string Utf8ToCodePage(std::string const &text, unsigned codePage);
std::string CodePageToUtf8(std::string const &text, unsigned codePage);
std::string ArgumentToAnsi(std::string const &text);

// Writes the C0 controls and DEL as \xHH so that a text stays on one line and none reaches
// the terminal; when `named`, CR, LF, TAB and backslash as \r, \n, \t and \\.
std::string EscapeControls(std::string_view text, bool named = true);

// Writes to standard output; throws Failure when the output cannot be written.
void WriteOut(std::string_view text);
void FinishOutput();

} // namespace rilcli
