// The run-time editing exports: thin wrappers around the process-wide editor and module
// accessor, and the holder marker exports.
#include "Ril4410.h"
#include "api/library_state.h"
#include "api/tool_api.h"
#include "core/export_guard.h"
#include "core/limits.h"
#include "rtedit/holder_marker.h"

#include <cstdint>
#include <string>
#include <type_traits>

namespace ril::api {
namespace {

// A new holder text is written after an open session has been discarded, so that it ends
// up as the module file's last marker.
core::HResult Begin(std::uint32_t firstId, char const *holder) {
    LibraryState &state = State();
    if (holder != nullptr) {
        if (!state.accessor.IsOpen())
            return core::kErrNoModule;
        std::string path = state.accessor.Path();
        if (state.editor.IsEditing())
            state.editor.EndEdit(1);
        state.accessor.CloseModule();
        core::HResult marked = state.accessor.AppendMarker(holder);
        core::HResult opened = state.accessor.OpenModule(path.c_str());
        if (opened < 0)
            return opened;
        if (marked != core::kSOk)
            return marked;
    }
    return state.editor.BeginEdit(firstId);
}

// The holder counts in the export's own type, which is 32 bits wide on every platform.
template <typename Count>
core::HResult HolderInfo(char const *path, char *buffer, Count *size, Count *held) {
    if constexpr (std::is_same_v<Count, std::uint32_t>) {
        return rtedit::GetHolderInfo(path, buffer, size, held);
    } else {
        std::uint32_t sizeValue = size != nullptr ? static_cast<std::uint32_t>(*size) : 0;
        constexpr std::uint32_t kUnset = 2; // the reader sets 0 or 1
        std::uint32_t heldValue = kUnset;
        core::HResult result =
            rtedit::GetHolderInfo(path, buffer, size != nullptr ? &sizeValue : nullptr,
                                  held != nullptr ? &heldValue : nullptr);
        // Written back in the order the reader sets them, and only when set.
        if (held != nullptr && heldValue != kUnset)
            *held = heldValue;
        if (size != nullptr && *size != sizeValue)
            *size = sizeValue;
        return result;
    }
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

static_assert(RIL_NEW_ID == core::kNoId);

extern "C" RIL_API RIL_LONG Ril_RTEditBegin(RIL_ULONG firstId, char const *holder) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&] { return Begin(firstId, holder); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditAddOrReplaceString(char const *macro, void const *data,
                                                         RIL_ULONG size, RIL_ULONG id,
                                                         RIL_ULONG *newId) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&] {
        std::uint32_t assigned = 0;
        core::HResult result = State().editor.AddOrReplaceString(
            macro, data, size, id, newId != nullptr ? &assigned : nullptr);
        if (newId != nullptr && result == core::kSOk)
            *newId = assigned;
        return result;
    });
}

extern "C" RIL_API RIL_LONG Ril_RTEditRemoveString(RIL_ULONG id) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&] { return State().editor.RemoveString(id); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditEnd(int discard, char const *headerDir, int wide) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        core::HResult result = State().editor.EndEdit(discard);
        if (result >= 0 && headerDir != nullptr)
            return WriteHeaderAndRecord(headerDir, wide, nullptr);
        return result;
    });
}

extern "C" RIL_API int Ril_RTEditIsEditing(void) {
    return core::Guarded<int>(0, [] { return State().editor.IsEditing() ? 1 : 0; });
}

extern "C" RIL_API RIL_LONG Ril_RTEditOpenModule(char const *path) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&] { return State().accessor.OpenModule(path); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditCloseModule(void) {
    return core::Guarded<RIL_LONG>(core::kEFail, [] {
        LibraryState &state = State();
        core::HResult ended = state.editor.IsEditing() ? state.editor.EndEdit(1) : core::kSOk;
        core::HResult closed = state.accessor.CloseModule();
        // A discard whose holder marker could not be appended is reported; a session whose
        // module is no longer loaded (-103) cannot be discarded and stays open.
        return ended < 0 && ended != core::kErrNoModule ? ended : closed;
    });
}

extern "C" RIL_API void const *Ril_RTEditGetModuleData(RIL_ULONG id, RIL_ULONG *size) {
    return core::Guarded<void const *>(nullptr, [&]() -> void const * {
        std::uint32_t bytes = 0;
        const std::uint8_t *record =
            State().accessor.FindStringResource(static_cast<std::uint16_t>(id), &bytes);
        if (size != nullptr)
            *size = record != nullptr ? bytes : 0;
        return record;
    });
}

extern "C" RIL_API RIL_LONG Ril_RTEditGetHolderInfo(char const *path, char *buffer, RIL_ULONG *size,
                                                    RIL_ULONG *held) {
    return core::Guarded<RIL_LONG>(core::kEFail,
                                   [&] { return HolderInfo(path, buffer, size, held); });
}

extern "C" RIL_API RIL_LONG Ril_RTEditForceWriteHolderInfo(char const *path, char const *holder) {
    return core::Guarded<RIL_LONG>(core::kEFail,
                                   [&] { return rtedit::AppendHolderMarker(path, holder); });
}
