// The tool's structural check of a BIN and the flavour its records appear to hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rilcli {

struct Invocation;

// A BIN read whole, with the item record of each entry in file order.
struct BinFile {
    std::vector<std::uint8_t> bytes;
    std::vector<std::span<std::uint8_t const>> records;
};

// Reads and checks `path`: holder flag 0 or 1, a holder marker that fits, every entry
// inside the file before the marker and every macro length inside its record. Throws
// Failure "<path>: not a BIN: <reason>", or "cannot open '<path>': <system's reason>".
std::optional<BinFile> CheckBin(std::string const &path);

enum class Flavour { kUnknown, kMultibyte, kWide };

// The flavour that more than half of the records fit: a multibyte record's text has its
// first zero byte as its last byte, a wide record's text its first zero unit as its last
// unit (no record fits both). kUnknown when neither has that majority.
Flavour InferFlavour(std::span<std::span<std::uint8_t const> const> records);

// Checks the BIN of a reading command and decides whether its texts are wide: --wide or
// --narrow when given, else the inferred flavour (multibyte when unknown). A flag that
// contradicts the inferred flavour fails unless --force is given.
bool CheckedWide(Invocation const &invocation, std::string const &path);

} // namespace rilcli
