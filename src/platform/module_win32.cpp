// Resource modules on Windows: the kernel32 module and resource-update calls.
#include "platform/module.h"

#include <windows.h>

#include <string>
#include <utility>

namespace ril::platform {
namespace {

class Win32Module : public Module {
  public:
    explicit Win32Module(HMODULE handle) : handle_(handle) {}
    ~Win32Module() override { FreeLibrary(handle_); }

    Resource Find(std::uint16_t type, std::uint16_t name) override {
        if (name == 0)
            return Resource{};
        HRSRC found = FindResourceA(handle_, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
        if (found == nullptr)
            return Resource{};
        HGLOBAL loaded = LoadResource(handle_, found);
        if (loaded == nullptr)
            return Resource{FindStatus::LoadFailed, nullptr, 0};
        DWORD size = SizeofResource(handle_, found);
        if (size == 0)
            return Resource{FindStatus::Found, nullptr, 0};
        const void *bytes = LockResource(loaded);
        if (bytes == nullptr)
            return Resource{FindStatus::LoadFailed, nullptr, 0};
        return Resource{FindStatus::Found, static_cast<const std::uint8_t *>(bytes), size};
    }

  private:
    HMODULE handle_;
};

// Updates go to a copy beside the module, renamed over it once written, so that a failure
// part way never leaves the module half written.
class Win32ResourceUpdate : public ResourceUpdate {
  public:
    Win32ResourceUpdate(HANDLE handle, std::string target, std::string copy)
        : handle_(handle), target_(std::move(target)), copy_(std::move(copy)) {}
    ~Win32ResourceUpdate() override {
        if (handle_ != nullptr)
            EndUpdateResourceA(handle_, TRUE);
        DeleteFileA(copy_.c_str());
    }

    bool Update(std::uint16_t type, std::uint16_t name, std::uint16_t language, const void *data,
                std::uint32_t size) override {
        if (name == 0 || handle_ == nullptr)
            return false;
        return UpdateResourceA(handle_, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(name), language,
                               const_cast<void *>(data), size) != FALSE;
    }

    bool End(bool discard) override {
        HANDLE handle = handle_;
        handle_ = nullptr;
        if (handle == nullptr || EndUpdateResourceA(handle, discard ? TRUE : FALSE) == FALSE)
            return false;
        return discard || MoveFileExA(copy_.c_str(), target_.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

  private:
    HANDLE handle_;
    std::string target_;
    std::string copy_;
};

} // namespace

std::unique_ptr<Module> LoadModule(const char *path) {
    HMODULE handle = path != nullptr ? LoadLibraryA(path) : nullptr;
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<Win32Module>(handle);
}

std::unique_ptr<ResourceUpdate> BeginResourceUpdate(const char *path) {
    if (path == nullptr)
        return nullptr;
    std::string copy = std::string(path) + ".~" + std::to_string(GetCurrentProcessId()) + "-update";
    if (CopyFileA(path, copy.c_str(), FALSE) == FALSE)
        return nullptr;
    HANDLE handle = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (handle == nullptr) {
        DeleteFileA(copy.c_str());
        return nullptr;
    }
    return std::make_unique<Win32ResourceUpdate>(handle, path, std::move(copy));
}

} // namespace ril::platform
