// Holder markers: a text, its 16-bit length and a zero byte at the end of a file, naming who
// holds the file for editing. The newest (last) marker is the one that counts.
#pragma once

#include "core/result_codes.h"

#include <cstdint>

namespace ril::rtedit {

// The newest marker of the file at `path`: `held` 0 for a file whose flag says no marker
// (only `held` is set), 1 with the text copied into `buffer` (or its size, terminator
// included, 0 for none, into `size` when `buffer` is null); a file that is not a BIN or
// cannot be read gives `size` 0. S_OK, or kErrBufferTooSmall with the needed size,
// kErrArgument for neither a buffer nor a size.
core::HResult GetHolderInfo(char const *path, char *buffer, std::uint32_t *size,
                            std::uint32_t *held);

// Appends a marker holding `holder` (an empty one for null) to an existing file: S_OK, or
// E_FAIL with the file as it was (missing, or the marker not written whole), E_INVALIDARG
// for a text of more than 65535 bytes, E_OUTOFMEMORY.
core::HResult AppendHolderMarker(char const *path, char const *holder);

} // namespace ril::rtedit
