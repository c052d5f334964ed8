// The BIN layout as this library's writers produce it: holder flag 1, max ID, count, the
// entries, and a holder marker naming the current user and time.
#pragma once

#include "platform/file_replacer.h"

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

// The pieces of a BIN, for writers that walk their own entries: the header (max ID and
// count, known before the first entry), each entry, and the holder marker that ends the file.
void WriteBinHead(FileReplacer &out, std::uint32_t maxId, std::uint32_t count);
void WriteBinEntry(FileReplacer &out, const BinEntry &entry);
void WriteBinTail(FileReplacer &out, const std::string &holderText);

// Writes the complete file: max ID and count are those of the entries written (0 and 0 for
// none), then the entries and the holder marker.
void WriteBinImage(FileReplacer &out, const std::vector<BinEntry> &entries,
                   const std::string &holderText);

} // namespace ril
