// The BIN layout as this library's writers produce it: holder flag 1, max ID, count, the
// entries, and a holder marker naming the current user and time.
#pragma once

#include "util/file_replacer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ril {

struct BinEntry {
    std::uint32_t id;
    const std::uint8_t *record;
    std::uint32_t size;
};

// "Holder=<user>    Editor=VeruDodUzarer    StartTime=<y>-<m>-<d> <h>:<m>'<s>"", at most
// 1023 bytes.
std::string CurrentHolderText();

// Writes the complete file: max ID and count are those of the entries written (0 and 0 for
// none), then the entries and the holder marker.
void WriteBinImage(FileReplacer &out, const std::vector<BinEntry> &entries,
                   const std::string &holderText);

} // namespace ril
