// What the load export needs of the BIN inspection: the reason for a failed load, for the
// structured notice handler alone.
#pragma once

namespace ril::api {

// Tells the structured notice handler, when one is set, why `path` did not load: the file
// cannot be read (with the system's reason), or its bytes are no BIN (the inspection's
// reason), or else no memory for it.
void ReportFailedLoad(char const *path);

} // namespace ril::api
