// The exported load, lookup and save functions over the process-wide table.
#include "Ril4410.h"
#include "api/bin_probe_api.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "items/record_text.h"

#include <cstring>

namespace ril::api {
namespace {

// Returned for an ID without a record; never written to.
const RIL_WCHAR kBlankWide[2] = {0x0020, 0x0000};
char const kBlankNarrow[2] = {' ', '\0'};

// The text the getters hand out for `id`: the session's while a run-time editing session is
// open and holds a record for it, else the loaded table's. Null without a record.
template <bool (*Prepare)(std::uint8_t *, std::size_t),
          std::uint8_t *(table::CBinMaster::*TableText)(std::uint32_t)>
std::uint8_t *LookupText(std::uint32_t id) {
    if (EditingSessionOpen()) [[unlikely]] {
        items::RecordRef overlay = State().editor.FindRecord(id);
        if (overlay) {
            std::uint8_t *text = overlay.Text();
            // The session's padding ends any text, and its text is on an even address.
            Prepare(text, static_cast<std::size_t>(overlay.data + overlay.size - text) +
                              items::kRecordPadding);
            return text;
        }
    }
    return (State().table.*TableText)(id);
}

// The record that the lookups answer with for `id`: the session's, else the loaded table's.
items::RecordRef LookupRecord(std::uint32_t id) {
    if (EditingSessionOpen()) [[unlikely]] {
        if (items::RecordRef overlay = State().editor.FindRecord(id))
            return overlay;
    }
    return State().table.Record(id);
}

// The bytes the macro takes in the caller's buffer: its M bytes when they hold its own
// terminator (as every record this library writes does), else one more for the zero that
// the copy adds behind them.
std::uint32_t MacroBufferSize(items::RecordRef const &record) {
    std::uint32_t m = record.MacroLength();
    return m > 0 && std::memchr(record.Macro(), 0, m) != nullptr ? m : m + 1;
}

[[gnu::noinline]] RIL_WCHAR const *FullGetStringW(std::uint32_t id) noexcept {
    return core::Guarded<RIL_WCHAR const *>(kBlankWide, [&]() -> RIL_WCHAR const * {
        std::uint8_t *text =
            LookupText<&items::BlankCarriageReturnsW, &table::CBinMaster::WideText>(id);
        return text != nullptr ? reinterpret_cast<RIL_WCHAR const *>(text) : kBlankWide;
    });
}

[[gnu::noinline]] char const *FullGetStringA(std::uint32_t id) noexcept {
    return core::Guarded<char const *>(kBlankNarrow, [&]() -> char const * {
        std::uint8_t *text =
            LookupText<&items::BlankCarriageReturnsA, &table::CBinMaster::NarrowText>(id);
        return text != nullptr ? reinterpret_cast<char const *>(text) : kBlankNarrow;
    });
}

[[gnu::noinline]] void const *FullGetData(std::uint32_t id) noexcept {
    return core::Guarded<void const *>(
        nullptr, [&] { return static_cast<void const *>(LookupRecord(id).data); });
}

void EndSessionAsDiscard() {
    if (EditingSessionOpen())
        State().editor.EndEdit(1);
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API RIL_LONG Ril_LoadRes(char const *path) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (path == nullptr)
            return core::kEFail;
        if (path[0] == '\0')
            return core::kSOk;
        core::HResult const result = State().table.LoadRes(path);
        // The result stays the bare E_FAIL; only the structured handler hears why.
        if (result != core::kSOk)
            ReportFailedLoad(path);
        return result;
    });
}

extern "C" RIL_API RIL_LONG Ril_LoadResFromMemory(void const *bytes, RIL_ULONG size) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (bytes == nullptr)
            return core::kEFail;
        return State().table.LoadImage(bytes, size);
    });
}

extern "C" RIL_API RIL_LONG Ril_UnloadRes(void) {
    return core::Guarded<RIL_LONG>(core::kSOk, [] {
        EndSessionAsDiscard();
        if (State().table.IsLoaded())
            State().table.UnloadRes();
        return core::kSOk;
    });
}

extern "C" RIL_API RIL_LONG Ril_ReLoadRes(void) {
    return core::Guarded<RIL_LONG>(core::kEFail, [] {
        EndSessionAsDiscard();
        return State().table.ReLoadRes();
    });
}

extern "C" RIL_API RIL_ULONG Ril_GetNumItem(void) {
    return core::Guarded<RIL_ULONG>(0, [] { return State().table.Count(); });
}

extern "C" RIL_API RIL_ULONG Ril_GetItemSize(RIL_ULONG id) {
    return core::Guarded<RIL_ULONG>(0, [&] { return State().table.RecordSize(id); });
}

// The getters first try the table's fast path: no session open and the text handed out
// before in its flavour (or, for the data, an ID of the dense table). It only reads memory,
// so it needs no guard; everything else goes through the guarded full lookup.

extern "C" RIL_API RIL_WCHAR const *Ril_GetStringW(RIL_ULONG id) {
    if (!EditingSessionOpen()) [[likely]] {
        if (std::uint8_t *text =
                State().table.ReadyText(id, table::CBinMaster::TextState::WideReady)) [[likely]]
            return reinterpret_cast<RIL_WCHAR const *>(text);
    }
    return FullGetStringW(id);
}

extern "C" RIL_API char const *Ril_GetStringA(RIL_ULONG id) {
    if (!EditingSessionOpen()) [[likely]] {
        if (std::uint8_t *text =
                State().table.ReadyText(id, table::CBinMaster::TextState::NarrowReady)) [[likely]]
            return reinterpret_cast<char const *>(text);
    }
    return FullGetStringA(id);
}

extern "C" RIL_API void const *Ril_GetData(RIL_ULONG id) {
    std::uint8_t *record;
    if (!EditingSessionOpen() && State().table.DenseRecord(id, record)) [[likely]]
        return record;
    return FullGetData(id);
}

extern "C" RIL_API RIL_LONG Ril_GetMacro(char *buffer, RIL_ULONG &length, RIL_ULONG id) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        items::RecordRef record = LookupRecord(id);
        if (!record)
            return core::kEFail;
        // The length is the buffer's size, and nothing is written beyond the size reported.
        std::uint32_t needed = MacroBufferSize(record);
        if (buffer == nullptr) {
            length = needed;
            return core::kSFalse;
        }
        if (length < needed) {
            length = needed;
            return core::kEFail;
        }
        std::uint32_t macroLength = record.MacroLength();
        std::memcpy(buffer, record.Macro(), macroLength);
        if (needed > macroLength)
            buffer[macroLength] = '\0';
        return core::kSOk;
    });
}

extern "C" RIL_API RIL_LONG Ril_GetLastError(void) {
    return core::Guarded<RIL_LONG>(
        0, [] { return State().lastError.load(std::memory_order_relaxed); });
}

extern "C" RIL_API RIL_LONG Ril_ExportResToBinFile(char const *path) {
    return core::Guarded<RIL_LONG>(core::kEFail,
                                   [&] { return State().table.ExportResToBinFile(path); });
}
