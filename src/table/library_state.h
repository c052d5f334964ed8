// The library's process-wide state: the loaded table and the last-error code.
#pragma once

#include "table/bin_master.h"

namespace ril {

struct LibraryState {
    CBinMaster table;
    HResult lastError = 0;
};

// The one instance, built by static initialisation and destroyed when the library unloads.
LibraryState &State();

inline void SetLastErrorCode(HResult code) { State().lastError = code; }

} // namespace ril
