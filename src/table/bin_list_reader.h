// Reading a BIN into an item list, for the export tool, and walking a BIN's entries without
// one, for the header tool.
#pragma once

#include "core/byte_cursor.h"
#include "items/ril_txt_loader.h"
#include "platform/file.h"
#include "table/bin_format.h"
#include "table/bin_target.h"

#include <cstdint>

namespace ril {

// Calls visit(BinEntryView const &) for each entry of the BIN image `bytes` in file order;
// visit returns false when it cannot take the entry. False at the first entry that cannot be
// read (its ID missing or out of bounds, its record empty or cut short beyond what readers
// complete with zeros) or taken, with that entry's ID in `failedId`. A file whose flag makes
// it no BIN has no entries.
template <typename Visit>
bool ForEachBinEntry(std::uint8_t const *bytes, std::size_t size, Visit &&visit,
                     std::uint32_t &failedId) {
    ByteReader reader(bytes, size);
    BinHeader header;
    ReadBinHeader(reader, header);
    if (header.flag > kHolderFlagPresent)
        return true;
    for (std::uint32_t i = 0; i < header.count; ++i) {
        BinEntryView entry;
        if (!ReadBinEntry(reader, header.IdBound(), entry) || entry.size == 0 || !visit(entry)) {
            failedId = entry.id;
            return false;
        }
    }
    return true;
}

// Reads the BIN at `path` whole into `file`: 1, or 0 after showing why not.
int ReadBinFile(char const *path, platform::FileContent &file);

// Appends the entries of the BIN at `path`; 1 on success, 0 after showing why.
int LoadBin(CRilTxtLoader &list, char const *path);

// Checks the BIN a tool reads: kSOk; kErrArgument when there is no file (neither a path nor a
// loaded table) or kErrBinRead when it is refused, each shown.
HResult CheckToolSource(BinTarget const &source);

// Fills `list` from the BIN a tool reads: kSOk; kErrArgument when there is no file (neither
// a path nor a loaded table) or kErrBinRead when it is refused or unreadable, each shown.
HResult LoadToolSource(CRilTxtLoader &list, BinTarget const &source);

} // namespace ril
