// The block copies that make a header's definition line, sixteen bytes at a time: the macro
// up to its first byte that cannot stand in a C identifier, and an MBCS text into the line
// comment up to its first zero byte, CR and LF turned into '_', telling from what the copy saw
// whether it ends in a lone lead byte, without walking back over the text.
#pragma once

#include "platform/codepage_chars.h"

#include <cstddef>
#include <cstdint>

namespace ril::tools {

struct CopiedComment {
    std::size_t length = 0; // the bytes copied: those before the first zero byte, or all
    bool loneLead = false;  // whether they end in a lead byte that stands alone
};

// The bytes that a block copy may write beyond the piece it copies.
constexpr std::size_t kLineCopySlack = 64;

// Copies the bytes at the start of from[0, limit) that can stand in a C identifier (A-Z, a-z,
// 0-9, '_') to `to` and returns how many. Blocks are read as far as `readable` bytes (at
// least `limit`) allow, and written whole: `to` has room for limit + kLineCopySlack bytes.
std::size_t CopyIdentifier(char *to, std::uint8_t const *from, std::size_t limit,
                           std::size_t readable);

// Copies the bytes of from[0, size) before its first zero byte into `to`, CR and LF turned
// into '_', and tells whether they end in a lone lead byte of the code page `chars`. Blocks
// are read from `from` as far as its `readable` bytes (at least `size`) allow, and written
// whole: `to` has room for size + kLineCopySlack bytes.
CopiedComment CopyComment(char *to, char const *from, std::size_t size, std::size_t readable,
                          platform::CharTable const &chars);

} // namespace ril::tools
