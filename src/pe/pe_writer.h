// Rebuilds a PE file around a new resource tree without moving the RVA of any other section:
// in place when the tree fits where the resource section is, else in a new last section.
#pragma once

#include "pe/pe_image.h"
#include "pe/pe_resources.h"

#include <cstdint>
#include <span>
#include <vector>

namespace ril::pe {

enum class RebuildStatus {
    Ok,
    Damaged,       // the tree lost parts when it was read: a rewrite would drop them
    NoHeaderSlot,  // a new section is needed and the headers have no room for its header
    TooLarge,      // the tree or the file would outgrow 32-bit addresses and offsets
    Unrelocatable, // symbols, certificates or debug data lie where they cannot be moved
    Inconsistent,  // the rebuilt file did not read back as the same tree
};

// The whole file `file` (parsed as `image`) with its resource tree replaced by `tree`; the
// result goes to `out` only on success, and only after it has been read back. Bytes that no
// section owns (overlay, COFF symbols, certificate table) are kept, moved as one block when the
// section data grows or shrinks, and every file offset that points at them is patched; a
// certificate table is kept that way too, although its signature no longer matches.
RebuildStatus RebuildWithResources(std::span<const std::uint8_t> file, Image const &image,
                                   ResourceTree const &tree, std::vector<std::uint8_t> &out);

} // namespace ril::pe
