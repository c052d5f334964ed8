// Line breaks of texts in PO files, which hold no carriage return: a text whose every line
// break is CR LF goes out with LF alone and a note, and comes back with CR LF.
#pragma once

#include <string>
#include <string_view>

namespace ril::interchange {

// Whether every CR of the text is followed by LF and every LF preceded by CR.
bool BreaksAreCrlf(std::string_view text);
// The text with each CR LF as LF, and the way back.
std::string CrlfToLf(std::string_view text);
std::string LfToCrlf(std::string_view text);

} // namespace ril::interchange
