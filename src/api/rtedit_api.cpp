// The run-time editing exports: thin wrappers around the process-wide editor and module
// accessor.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"

#include <string>

namespace ril {
namespace {

// A new holder text is written after an open session has been discarded, so that it ends
// up as the module file's last marker.
HResult Begin(std::uint32_t firstId, const char *holder) {
    LibraryState &state = State();
    if (holder != nullptr) {
        if (!state.accessor.IsOpen())
            return kErrNoModule;
        std::string path = state.accessor.Path();
        if (state.editor.IsEditing())
            state.editor.EndEdit(1);
        state.accessor.CloseModule();
        HResult marked = state.accessor.AppendMarker(holder);
        HResult opened = state.accessor.OpenModule(path.c_str());
        if (opened < 0)
            return opened;
        if (marked != kSOk)
            return marked;
    }
    return state.editor.BeginEdit(firstId);
}

} // namespace
} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_RTEditBegin(RIL_ULONG firstId, char const *holder) {
    return Guarded<RIL_LONG>(kEFail, [&] { return Begin(firstId, holder); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditAddOrReplaceString(char const *macro, void const *data,
                                                         RIL_ULONG size, RIL_ULONG id,
                                                         RIL_ULONG *newId) {
    return Guarded<RIL_LONG>(kEFail, [&] {
        std::uint32_t assigned = 0;
        HResult result = State().editor.AddOrReplaceString(macro, data, size, id,
                                                           newId != nullptr ? &assigned : nullptr);
        if (newId != nullptr && result == kSOk)
            *newId = assigned;
        return result;
    });
}

extern "C" RIL_API RIL_LONG Ril_RTEditRemoveString(RIL_ULONG id) {
    return Guarded<RIL_LONG>(kEFail, [&] { return State().editor.RemoveString(id); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditEnd(int discard, char const *headerDir, int wide) {
    return Guarded<RIL_LONG>(kEFail, [&]() -> RIL_LONG {
        HResult result = State().editor.EndEdit(discard);
        if (result >= 0 && headerDir != nullptr)
            return Ril_WriteHeaderFile(headerDir, wide, nullptr);
        return result;
    });
}

extern "C" RIL_API int Ril_RTEditIsEditing(void) {
    return Guarded<int>(0, [] { return State().editor.IsEditing() ? 1 : 0; });
}

extern "C" RIL_API RIL_LONG Ril_RTEditOpenModule(char const *path) {
    return Guarded<RIL_LONG>(kEFail, [&] { return State().accessor.OpenModule(path); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditCloseModule(void) {
    return Guarded<RIL_LONG>(kEFail, [] {
        LibraryState &state = State();
        HResult ended = state.editor.IsEditing() ? state.editor.EndEdit(1) : kSOk;
        HResult closed = state.accessor.CloseModule();
        // A discard whose holder marker could not be appended is reported; a session whose
        // module is no longer loaded (-103) cannot be discarded and stays open.
        return ended < 0 && ended != kErrNoModule ? ended : closed;
    });
}

extern "C" RIL_API void const *Ril_RTEditGetModuleData(RIL_ULONG id, RIL_ULONG *size) {
    return Guarded<void const *>(nullptr, [&]() -> void const * {
        std::uint32_t bytes = 0;
        const std::uint8_t *record =
            State().accessor.FindStringResource(static_cast<std::uint16_t>(id), &bytes);
        if (size != nullptr)
            *size = record != nullptr ? bytes : 0;
        return record;
    });
}
