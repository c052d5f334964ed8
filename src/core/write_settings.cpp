// The writers' process-wide settings and what they resolve to: the holder's name and the time.
#include "core/write_settings.h"

#include "core/error_report.h"
#include "core/messages.h"
#include "platform/user.h"

#include <cstdlib>

namespace ril::core {
namespace {

char const kEpochVariable[] = "SOURCE_DATE_EPOCH";

} // namespace

WriteSettings &CurrentWriteSettings() {
    static WriteSettings settings;
    return settings;
}

std::string HolderName() {
    WriteSettings const &settings = CurrentWriteSettings();
    std::string name = settings.holder ? *settings.holder : platform::CurrentUserName();
    if (name.size() > kMaxHolderName)
        name.resize(kMaxHolderName);
    return name;
}

EpochState SourceDateEpochState() {
    char const *value = std::getenv(kEpochVariable);
    if (value == nullptr || *value == '\0')
        return EpochState::Unset;
    return platform::ParseEpochSeconds(value) ? EpochState::Valid : EpochState::Invalid;
}

platform::LocalTime StampTime() {
    if (std::optional<std::uint64_t> const fixed = CurrentWriteSettings().stampSeconds)
        return platform::UtcTimeOf(*fixed);
    char const *value = std::getenv(kEpochVariable);
    if (std::optional<std::uint64_t> const epoch = platform::ParseEpochSeconds(value))
        return platform::UtcTimeOf(*epoch);
    if (value != nullptr && *value != '\0')
        ErrorBox(catalogue::kInvalidSourceDateEpoch, NoticeSite{}, value);
    return platform::SystemLocalTime();
}

} // namespace ril::core
