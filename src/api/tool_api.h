// The tool exports' bodies that other exports share.
#pragma once

#include "core/result_codes.h"

namespace ril::api {

// Ril_WriteHeaderFile: writes the header of the BIN (the loaded table's file for a null
// path) and records the result as the last error.
core::HResult WriteHeaderAndRecord(char const *headerDir, int wide, char const *binPath);

} // namespace ril::api
