// BINs through the library: checked by its inspection before a command reads them (and the
// flavour a reading command works in), loaded, and their items and holder read back through
// the public lookups.
#pragma once

#include "Ril4410.h"

#include <optional>
#include <string>
#include <vector>

namespace rilcli {

struct Invocation;

// What the library's inspection says of a BIN that passed it.
struct BinFacts {
    RIL_BIN_INFO info{};
    std::vector<RIL_ULONG> ids; // the entries' IDs, ascending, without repeats
};

// Inspects `path`; throws Failure "<path>: not a BIN: <reason>" for bytes that are no BIN,
// or "cannot open '<path>': <system's reason>" for a file that cannot be read. The IDs are
// read (a second reading of the file) only `withIds`.
BinFacts CheckBin(std::string const &path, bool withIds = false);

// Whether a reading command's BIN is read as wide texts: by --wide or --narrow, else by the
// inspection's flavour. A contradicting flag fails unless --force; undecodable multibyte texts
// warn once; a file that is no BIN is refused as CheckBin refuses it.
bool WideOfInspection(Invocation const &invocation, std::string const &path,
                      RIL_BIN_INFO const &info);
// The same, inspecting `path` first.
bool CheckedWide(Invocation const &invocation, std::string const &path);

void LoadBin(std::string const &path);

// An item: its macro (ANSI code page) and its text up to its terminator, as UTF-8.
struct Item {
    std::string macro;
    std::string text;
};

// The item of a record; nothing when the macro does not fit it or, when `strict`, lacks its zero.
std::optional<Item> ItemOfRecord(void const *record, RIL_ULONG size, bool wide, bool strict);

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
