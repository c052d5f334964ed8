// The process-wide objects. Members are built in declaration order and destroyed in reverse.
#include "api/library_state.h"

#include "core/safe_text.h"
#include "platform/thread_attach.h"

#include <cstring>

namespace ril::api {

LibraryState theLibraryState;

namespace {

constexpr std::size_t kComparedPathSize = 260;

// Two paths name the loaded file when their first 259 characters match, ignoring the case
// of ASCII letters.
bool SameLoadedPath(char const *loadedPath, char const *binPath) {
    char a[kComparedPathSize];
    char b[kComparedPathSize];
    core::SafeCopyA(a, sizeof a, loadedPath);
    core::SafeCopyA(b, sizeof b, binPath);
    for (char *p : {a, b})
        for (; *p != '\0'; ++p)
            if (*p >= 'a' && *p <= 'z')
                *p = static_cast<char>(*p - 'a' + 'A');
    return std::strcmp(a, b) == 0;
}

} // namespace

table::BinTarget ResolveBinTarget(char const *binPath, BinUse use) {
    table::CBinMaster &table = State().table;
    // A table loaded from memory has no file: the tools then work on none of it.
    bool const tableFile = table.IsLoaded() && table.Path()[0] != '\0';
    table::BinTarget target;
    target.named = binPath != nullptr;
    bool loadedFile = false;
    if (binPath != nullptr) {
        target.path = binPath;
        loadedFile = use == BinUse::Write && tableFile && SameLoadedPath(table.Path(), binPath);
    } else if (tableFile) {
        target.path = table.Path();
        loadedFile = true;
    }
    if (loadedFile) {
        target.refused = EditingSessionOpen();
        target.loadedTable = &table;
    }
    return target;
}

} // namespace ril::api

void ril::platform::OnThreadAttach() {
    ril::api::SetLastErrorCode(core::kSOk);
}
