// FileLock on Windows: an open handle that shares reading and writing. A module commit opens
// the module without sharing, so it waits while the handle is open, and the handle waits
// while a commit holds the module.
#include "platform/file_lock.h"

#include <windows.h>

namespace ril::platform {
namespace {

constexpr DWORD kLockWaitMs = 10000;
constexpr DWORD kLockPollMs = 20;

} // namespace

FileLock::FileLock(char const *path) {
    if (path == nullptr)
        return;
    for (DWORD waited = 0;; waited += kLockPollMs) {
        HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(handle);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= kLockWaitMs)
            return;
        Sleep(kLockPollMs);
    }
}

FileLock::~FileLock() {
    if (handle_ != kNone)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace ril::platform
