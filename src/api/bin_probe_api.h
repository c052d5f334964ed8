// What other exports need of the BIN inspection: the reason for a failed load, for the
// structured notice handler alone, and the inspection of a file whose bytes are kept.
#pragma once

#include "Ril4410.h"
#include "core/result_codes.h"
#include "platform/file.h"

namespace ril::api {

// Tells the structured notice handler, when one is set, why `path` did not load: the file
// cannot be read (with the system's reason), or its bytes are no BIN (the inspection's
// reason), or else no memory for it.
void ReportFailedLoad(char const *path);

} // namespace ril::api

namespace ril::api {

// Reads the file at `path` into `content` and inspects its bytes as Ril_InspectBin does,
// filling the cleared `info` and up to `idCapacity` IDs: kSOk, kSFalse (more IDs than room) or
// kEFail (no BIN, or unreadable).
core::HResult InspectBinFile(char const *path, RIL_BIN_INFO &info, RIL_ULONG *ids,
                             RIL_ULONG idCapacity, platform::FileContent &content);

} // namespace ril::api
