// The tool's own look at a text resource file for what the import lets pass silently.
#pragma once

#include "diagnostic.h"
#include "text_position.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rilcli {

// A finding of the scan: a byte offset in the file and an English text.
struct TextFinding {
    Severity severity;
    std::uint64_t offset;
    std::string messageId;
    std::string text;
};

// Scans the file as the import's parser does (items by keyword, multibyte text by whole
// characters of the code page in force) and reports, as warnings: an ID that is not a
// decimal number ("id-not-a-number", "id-missing", "id-out-of-range"), an item whose macro
// keyword or text is missing so that it takes the next item's ("macro-keyword-missing",
// "text-missing"), a keyword that is almost right ("near-keyword"), a text with bytes that
// are no character of the code page or an unpaired surrogate ("unmappable-text"), a zero
// character that hides later items ("hidden-items"). Findings come in file order. Stops
// where the parser would fail (the library reports that).
std::vector<TextFinding> CheckText(TextPositions const &file);

} // namespace rilcli
