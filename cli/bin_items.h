// Loading a BIN through the library and reading its items back through the public lookups.
#pragma once

#include "Ril4410.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rilcli {

// Loads `path` with Ril_LoadRes; throws Failure with the library's code when it fails.
void LoadBin(std::string const &path);

// The IDs that the entries of the BIN at `path` name, in ascending order without repeats:
// the file's entries are walked as the library reads them (each takes at least 8 bytes, so
// the walk and the list are bounded by the file's size). `path` must be the file just loaded.
std::vector<std::uint32_t> EntryIds(std::string const &path);

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
