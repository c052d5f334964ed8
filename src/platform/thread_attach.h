// The hook through which the Windows DLL entry point tells the library that a new thread
// has attached to the process; the library's state defines it.
#pragma once

namespace ril::platform {

// Called on DLL_THREAD_ATTACH: resets the library's last-error code to 0. Nothing calls it
// where the platform has no such notification.
void OnThreadAttach();

} // namespace ril::platform
