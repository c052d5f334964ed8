// Writes a whole file so that the target is either replaced completely or left untouched:
// the bytes go to a temporary file beside the target, which is renamed over it at the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ril {

enum class ReplaceStatus {
    Ok,
    CannotOpen,  // the temporary file beside the target cannot be created
    WriteFailed, // writing, closing or renaming failed; the target is unchanged
};

ReplaceStatus ReplaceFileContent(const char *target, const std::uint8_t *data, std::size_t size);

} // namespace ril
