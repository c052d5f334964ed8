// The library's process-wide state: the last-error code, the loaded table, the resource
// module accessor and the run-time editor, built in that order and destroyed in reverse
// (the editor ends an open session while the module accessor still exists).
#pragma once

#include "Ril4410.h"
#include "rtedit/txt_res_idx_svr.h"
#include "rtedit/txt_res_run_time_editor.h"
#include "table/bin_master.h"
#include "table/bin_target.h"

#include <atomic>

namespace ril::api {

// The caller's structured notice handler; the notice sink calls it through the api layer,
// which turns the sink's notices into RIL_NOTICE.
struct NoticeExTarget {
    RIL_NOTICE_EX_HANDLER handler = nullptr;
    void *context = nullptr;
};

struct LibraryState {
    // Atomic, as opens of table handles on any thread record their result in it.
    std::atomic<core::HResult> lastError{0};
    NoticeExTarget noticeEx;
    table::CBinMaster table;
    rtedit::CTxtResIdxSvr accessor{lastError};
    rtedit::CTxtResRunTimeEditor editor{accessor};
};

// The one instance, built by static initialisation and destroyed when the library unloads.
// The lookups reach it on every call, so the accessor is inline.
extern LibraryState theLibraryState;
inline LibraryState &State() {
    return theLibraryState;
}

inline void SetLastErrorCode(core::HResult code) {
    State().lastError.store(code, std::memory_order_relaxed);
}

// True while a run-time editing session is open.
inline bool EditingSessionOpen() {
    return State().editor.IsEditing();
}

enum class BinUse { Read, Write };

// The BIN a tool call works on: `binPath`, or the loaded table's file when it is null. The
// loaded table's file is refused while a session is open; a writer also recognises it under
// a path the caller names.
table::BinTarget ResolveBinTarget(char const *binPath, BinUse use);

} // namespace ril::api
