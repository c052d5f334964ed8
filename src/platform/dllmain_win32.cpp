// The DLL entry point of Ril4410.dll: accepts every notification and resets the last-error
// code when a thread attaches. Built into the DLL only, never into the static library.
#include "platform/thread_attach.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_THREAD_ATTACH)
        ril::platform::OnThreadAttach();
    return TRUE;
}
