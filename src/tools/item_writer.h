// Writing a BIN from items given in memory (ID, macro, text) rather than read from a text file.
#pragma once

#include "core/result_codes.h"
#include "table/bin_target.h"

#include <cstddef>
#include <cstdint>

namespace ril::tools {

struct GivenItem {
    std::uint32_t id;
    char const *macro; // zero-terminated, in the ANSI code page
    void const *text;  // `textSize` bytes: multibyte, or UTF-16LE units when wide
    std::size_t textSize;
};

// Builds the items into a list, validates it as the import validates a parsed file (repeated
// IDs, bad and repeated macros reported) and writes it through the import's BIN writer, so
// the file's bytes are those the import of the same items from a text file writes. kSOk,
// kErrArgument (a missing macro or text, an odd wide size, an ID that asks for a new one),
// kErrImportParse (validation failed) or kErrImportWrite.
core::HResult WriteItemsToBin(GivenItem const *items, std::size_t count, int wide,
                              table::BinTarget const &target);

} // namespace ril::tools
