// Sizes and special values that several layers share.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ril::core {

// The ID that stands for none: an empty editing item, or a request for a new ID.
constexpr std::uint32_t kNoId = 0xFFFFFFFFu;

// IDs from here up ask the text parser for a new number; the table saver writes only the
// IDs below it.
constexpr std::uint32_t kNewIdThreshold = 0x2FFFF;

// Stored paths (the loaded table's, the resource module's): 519 characters and a terminator.
constexpr std::size_t kPathSize = 520;

// Macro names: the text parser keeps at most this many characters, and the editing session
// refuses a name this long.
constexpr std::size_t kMacroLimit = 127;

} // namespace ril::core
