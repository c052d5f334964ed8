// A BIN checked through the library's inspection before a command reads it, and the flavour
// a reading command works in.
#pragma once

#include "Ril4410.h"

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
// asked for (a second reading of the file) only `withIds`.
BinFacts CheckBin(std::string const &path, bool withIds = false);

// Checks the BIN of a reading command and decides whether its texts are wide: --wide or
// --narrow when given, else the inferred flavour (multibyte when unknown). A flag that
// contradicts the inferred flavour fails unless --force is given. Multibyte texts that do
// not decode in the code page in force get one warning that names --code-page. `facts`, when
// given, receives the inspection with the IDs.
bool CheckedWide(Invocation const &invocation, std::string const &path, BinFacts *facts = nullptr);

} // namespace rilcli
