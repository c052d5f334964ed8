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

namespace ril::api {
namespace {

constexpr unsigned kOptionsRefused = 0xFFFFFFFFu;
constexpr unsigned kKnownOptions = RIL_WRITE_IF_CHANGED;

core::HResult SetStampTime(long long seconds) {
    core::WriteSettings &settings = core::CurrentWriteSettings();
    if (seconds == RIL_STAMP_DEFAULT) {
        settings.stampSeconds.reset();
        return core::SourceDateEpochState() == core::EpochState::Invalid ? core::kEInvalidArg
                                                                         : core::kSOk;
    }
    // The same bounds as SOURCE_DATE_EPOCH's.
    std::optional<std::uint64_t> const valid =
        seconds < 0 ? std::nullopt : platform::ParseEpochSeconds(std::to_string(seconds).c_str());
    if (!valid)
        return core::kEInvalidArg;
    settings.stampSeconds = valid;
    return core::kSOk;
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API RIL_LONG Ril_SetHolderText(char const *holder) {
    return core::Guarded<RIL_LONG>(core::kEOutOfMemory, [&] {
        if (holder != nullptr && std::strlen(holder) > core::kMaxHolderName)
            return core::kEInvalidArg;
        std::optional<std::string> &setting = core::CurrentWriteSettings().holder;
        if (holder != nullptr)
            setting = holder;
        else
            setting.reset();
        return core::kSOk;
    });
}

extern "C" RIL_API RIL_LONG Ril_SetStampTime(long long seconds) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&] { return SetStampTime(seconds); });
}

extern "C" RIL_API unsigned int Ril_SetWriteOptions(unsigned int options) {
    return core::Guarded<unsigned int>(kOptionsRefused, [&] {
        if ((options & ~kKnownOptions) != 0)
            return kOptionsRefused;
        platform::ReplaceMode &mode = core::CurrentWriteSettings().replace;
        unsigned const previous =
            mode == platform::ReplaceMode::IfChanged ? RIL_WRITE_IF_CHANGED : 0u;
        mode = (options & RIL_WRITE_IF_CHANGED) != 0 ? platform::ReplaceMode::IfChanged
                                                     : platform::ReplaceMode::Always;
        return previous;
    });
}
