// Loading a BIN through the library and reading its items back through the public lookups.
#pragma once

#include "Ril4410.h"

#include <cstdint>
#include <span>
#include <string>

namespace rilcli {

// Loads `path` with Ril_LoadRes; throws Failure with the library's code when it fails.
void LoadBin(std::string const &path);

// One past the highest ID that the loaded table can hold: the file's max ID + 10 in 32-bit
// arithmetic (as the library sizes its table), or 0 when the table has no slots. Reads the
// max ID from the header of `path`, which must be the file just loaded.
std::uint32_t IdLimit(std::string const &path);

bool HasItem(RIL_ULONG id);

// An item of the loaded table: its macro (ANSI code page, without its zero byte) and the
// bytes of its record behind the macro, which hold the zero-terminated text.
struct Item {
    std::string macro;
    std::span<std::uint8_t const> textBytes;
};

// Reads an item that HasItem reported; throws Failure when the library refuses.
Item ReadItem(RIL_ULONG id);

// The item's text up to its terminator or the end of its record, as bytes or UTF-16 units.
std::string MultibyteText(Item const &item);
std::u16string WideText(Item const &item);

} // namespace rilcli
