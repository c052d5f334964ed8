// BinTarget: the BIN file a tool call reads or writes, as the exported entry points resolve
// it from the caller's path and the loaded table.
#pragma once

namespace ril::table {

class CBinMaster;

struct BinTarget {
    // The file; null when the caller named none and no table is loaded.
    char const *path = nullptr;
    // Whether the caller named the file (rather than it being the loaded table's).
    bool named = false;
    // The file is the loaded table's while a run-time editing session is open: refused.
    bool refused = false;
    // The loaded table whose file this is, unloaded once a writer has replaced the file.
    CBinMaster *loadedTable = nullptr;
};

} // namespace ril::table
