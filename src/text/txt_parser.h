// The text resource file parser: splits a file into items, decides its flavour from the
// caller and the byte-order mark, and numbers the items that ask for a new ID.
#pragma once

#include "core/notice.h"
#include "items/ril_txt_loader.h"
#include "platform/codepage_chars.h"
#include "text/txt_parse_observer.h"

namespace ril::text {

// The two keywords of an item, matched exactly.
inline constexpr char kIdKeyword[] = "RilStringID=";
inline constexpr char kMacroKeyword[] = "RilStringMacro=";

// Appends the items of `txtPath` to `list`; 1 on success, 0 after reporting the failure.
// An observer, when given, is told what the parser reads (see TxtParseObserver).
int LoadTxt(items::CRilTxtLoader &list, char const *txtPath, int wide, char const *logPath,
            TxtParseObserver *observer = nullptr);

// Outcomes of the brace search besides a text length.
constexpr long kBracedTextNotFound = -1;
constexpr long kBracedTextError = -2;

// Finds the braced text from `position` among `count` characters of `data` (which is
// followed by zero characters). Returns the text's length with `position` at its first
// character, or one of the two outcomes above (an error has been shown in a message box).
// Bytes are stepped over as the characters of `chars`, `position` being a character start;
// message offsets are byte offsets; `path` names the file in the notices, `places` gives
// their lines and columns.
long FindBracedText(unsigned char const *data, std::size_t count, std::size_t &position,
                    platform::CharTable const &chars = platform::CharTable(),
                    char const *path = nullptr, core::PlaceFinder const *places = nullptr);
long FindBracedText(std::uint16_t const *data, std::size_t count, std::size_t &position,
                    char const *path = nullptr, core::PlaceFinder const *places = nullptr);

} // namespace ril::text
