// The "&0NN" placeholders of a text, which translations must keep.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ril::interchange {

// A text cut into runs of plain text and placeholders, in order; joined they give the text.
struct Piece {
    std::string_view text;
    bool placeholder = false;
};
std::vector<Piece> SplitPlaceholders(std::string_view text);

// The placeholders of a text as one line, "&001 &002" (in order of appearance, repeats
// kept), or empty.
std::string PlaceholderList(std::string_view text);

} // namespace ril::interchange
