// Finding "&0" followed by two digits, as the library's string combination fills them.
#include "interchange/placeholders.h"

namespace ril::interchange {
namespace {

constexpr std::size_t kLength = 4; // "&0NN"

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool PlaceholderAt(std::string_view text, std::size_t at) {
    return at + kLength <= text.size() && text[at] == '&' && text[at + 1] == '0' &&
           IsDigit(text[at + 2]) && IsDigit(text[at + 3]);
}

} // namespace

std::vector<Piece> SplitPlaceholders(std::string_view text) {
    std::vector<Piece> pieces;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (!PlaceholderAt(text, at)) {
            ++at;
            continue;
        }
        if (at > start)
            pieces.push_back({text.substr(start, at - start), false});
        pieces.push_back({text.substr(at, kLength), true});
        at += kLength;
        start = at;
    }
    if (start < text.size())
        pieces.push_back({text.substr(start), false});
    return pieces;
}

std::string PlaceholderList(std::string_view text) {
    std::string list;
    for (Piece const &piece : SplitPlaceholders(text))
        if (piece.placeholder)
            list += (list.empty() ? "" : " ") + std::string(piece.text);
    return list;
}

} // namespace ril::interchange
