// The settings of the library's file writers, process-wide and set through the exports: the
// holder that BIN writers name in their markers, the time written files are stamped with, and
// whether whole-file writers leave a target that already holds their bytes untouched.
#pragma once

#include "platform/clock.h"
#include "platform/file_replacer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ril::core {

// The room for the holder's name in the standard holder text (a 512-byte field with its
// terminator).
constexpr std::size_t kMaxHolderName = 511;

struct WriteSettings {
    std::optional<std::string> holder;         // in place of the user's name; none: the user
    std::optional<std::uint64_t> stampSeconds; // a fixed stamp time (UTC); none: the default
    platform::ReplaceMode replace = platform::ReplaceMode::Always;
};

WriteSettings &CurrentWriteSettings();

// The name in the holder markers of BIN writers: the holder set, else the user's name (cut to
// kMaxHolderName bytes).
std::string HolderName();

enum class EpochState { Unset, Valid, Invalid };
// Whether SOURCE_DATE_EPOCH is unset (or empty), or holds a stamp time (decimal seconds up to
// 9999-12-31 23:59:59 UTC), or something else.
EpochState SourceDateEpochState();

// The time written files are stamped with: the fixed time, else SOURCE_DATE_EPOCH as UTC, else
// the local time, with the "invalid-source-date-epoch" warning when that variable is set but
// holds no stamp time.
platform::LocalTime StampTime();

} // namespace ril::core
