// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN.
#pragma once

#include "core/result_codes.h"
#include "table/bin_target.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ril::tools {

// The BIN's bytes when the caller has read them already; without them the file is read.
using BinImage = std::optional<std::span<std::uint8_t const>>;

// Writes the header of the BIN at `binPath` (or of its bytes `image`, named after that path)
// at `headerPath`, replacing it whole: one line per entry in record order, made straight from
// each record as the BIN is read (no item list is built). kSOk; kErrBinRead when the BIN or
// an entry cannot be read, kErrOutputWrite when the header cannot be written or an entry's
// macro cannot stand in an identifier (each shown, the previous header kept).
core::HResult WriteHeader(char const *binPath, char const *headerPath, int wide,
                          BinImage image = std::nullopt);

// Reads the BIN `source` (unless its bytes are given) and writes its header into `headerDir`,
// named after the BIN: kSOk, kErrArgument, kErrBinRead or kErrOutputWrite.
core::HResult WriteHeaderFile(char const *headerDir, int wide, table::BinTarget const &source,
                              BinImage image = std::nullopt);

} // namespace ril::tools
