// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN.
#pragma once

#include "core/result_codes.h"
#include "table/bin_target.h"

#include <cstddef>
#include <cstdint>

namespace ril {

// A BIN read whole, and the path it was read from.
struct BinImage {
    char const *path = nullptr;
    std::uint8_t const *bytes = nullptr;
    std::size_t size = 0;
};

// Writes the header of `bin` at `headerPath`, replacing it whole: one line per entry in
// record order, made straight from the records as they are read (no item list is built).
// kSOk; kErrBinRead when an entry cannot be read, kErrOutputWrite when the header cannot be
// written or an entry's macro cannot stand in an identifier (each shown, the previous header
// kept).
HResult WriteHeader(BinImage const &bin, char const *headerPath, int wide);

// Reads the BIN `source` and writes its header into `headerDir`, named after the BIN: kSOk,
// kErrArgument, kErrBinRead or kErrOutputWrite.
HResult WriteHeaderFile(char const *headerDir, int wide, BinTarget const &source);

} // namespace ril
