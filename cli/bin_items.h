// Loading a BIN through the library and reading its items and holder back through the public
// lookups.
#pragma once

#include "Ril4410.h"

#include <optional>
#include <string>

namespace rilcli {

// Loads `path` with Ril_LoadRes; throws Failure with the library's code when it fails.
void LoadBin(std::string const &path);

// An item record as the library splits it: its macro (ANSI code page) and its text up to its
// terminator, as UTF-8.
struct Item {
    std::string macro;
    std::string text;
};

// The item that `size` bytes of `record` hold, the text read in the flavour given; nothing
// when the macro does not fit the record or, when `strict`, does not end with its zero byte.
std::optional<Item> ItemOfRecord(void const *record, RIL_ULONG size, bool wide, bool strict);

// The item of `id` in the loaded table, or nothing when there is none.
std::optional<Item> ReadItem(RIL_ULONG id, bool wide);

// A file's holder flag (kNoHolderFlag when its first word is neither 0 nor 1) and, when the
// flag is 1, the text of its newest holder marker (ANSI code page).
inline constexpr RIL_ULONG kNoHolderFlag = 0xFFFFFFFF;
struct Holder {
    RIL_ULONG held = kNoHolderFlag;
    std::string text;
};

// The holder of `path`; throws Failure "cannot read the holder of 'PATH'".
Holder ReadHolder(std::string const &path);

} // namespace rilcli
