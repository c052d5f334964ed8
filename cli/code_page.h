// The code page of multibyte texts: --code-page N and --utf8, and questions about the one in
// force.
#pragma once

#include <string>

namespace rilcli {

struct Invocation;

inline constexpr unsigned kUtf8CodePage = 65001;

// Makes the code page given with --code-page or --utf8 the library's ANSI code page; throws
// UsageError for a malformed or unsupported one. Does nothing when neither is given.
void ApplyCodePage(Invocation const &invocation);

// The code page chosen for code page 0, or 0 when the default is in force.
unsigned ChosenCodePage();

// "code page N" for the code page in force (the default one where the tool cannot tell its
// number).
std::string CodePageInForce();

// Whether the code page in force makes one character of a lead and a trail byte, as the
// double-byte code pages (GBK, GB18030, Shift-JIS, Big5, UHC) do.
bool IsDoubleByteInForce();

} // namespace rilcli
