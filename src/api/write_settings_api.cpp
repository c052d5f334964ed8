// Exports for the settings of the library's writers: the holder named in BIN holder markers,
// the stamp time and the whole-file writers' options.
#include "Ril4410.h"
#include "core/export_guard.h"
#include "core/result_codes.h"
#include "core/write_settings.h"
#include "platform/clock.h"

#include <cstring>
#include <optional>
#include <string>

namespace ril {
namespace {

constexpr unsigned kOptionsRefused = 0xFFFFFFFFu;
constexpr unsigned kKnownOptions = RIL_WRITE_IF_CHANGED;

HResult SetStampTime(long long seconds) {
    WriteSettings &settings = CurrentWriteSettings();
    if (seconds == RIL_STAMP_DEFAULT) {
        settings.stampSeconds.reset();
        return SourceDateEpochState() == EpochState::Invalid ? kEInvalidArg : kSOk;
    }
    // The same bounds as SOURCE_DATE_EPOCH's.
    std::optional<std::uint64_t> const valid =
        seconds < 0 ? std::nullopt : platform::ParseEpochSeconds(std::to_string(seconds).c_str());
    if (!valid)
        return kEInvalidArg;
    settings.stampSeconds = valid;
    return kSOk;
}

} // namespace
} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_SetHolderText(char const *holder) {
    return Guarded<RIL_LONG>(kEOutOfMemory, [&] {
        if (holder != nullptr && std::strlen(holder) > kMaxHolderName)
            return kEInvalidArg;
        std::optional<std::string> &setting = CurrentWriteSettings().holder;
        if (holder != nullptr)
            setting = holder;
        else
            setting.reset();
        return kSOk;
    });
}

extern "C" RIL_API RIL_LONG Ril_SetStampTime(long long seconds) {
    return Guarded<RIL_LONG>(kEFail, [&] { return SetStampTime(seconds); });
}

extern "C" RIL_API unsigned int Ril_SetWriteOptions(unsigned int options) {
    return Guarded<unsigned int>(kOptionsRefused, [&] {
        if ((options & ~kKnownOptions) != 0)
            return kOptionsRefused;
        ReplaceMode &mode = CurrentWriteSettings().replace;
        unsigned const previous = mode == ReplaceMode::IfChanged ? RIL_WRITE_IF_CHANGED : 0u;
        mode = (options & RIL_WRITE_IF_CHANGED) != 0 ? ReplaceMode::IfChanged : ReplaceMode::Always;
        return previous;
    });
}
