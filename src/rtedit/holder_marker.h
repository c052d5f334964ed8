// Holder markers: a text, its 16-bit length and a zero byte at the end of a file, naming who
// holds the file for editing. The newest (last) marker is the one that counts.
#pragma once

#include "core/result_codes.h"

namespace ril {

// Appends a marker holding `holder` (an empty one for null) to an existing file: S_OK, or
// E_FAIL with the file as it was (missing, or the marker not written whole), E_INVALIDARG
// for a text of more than 65535 bytes, E_OUTOFMEMORY.
HResult AppendHolderMarker(const char *path, const char *holder);

} // namespace ril
