// Resource modules on Windows: the kernel32 module and resource-update calls. The one
// source outside platform/ that calls the system: it is the Windows half of this folder's
// module service, beside the PE backend that serves everywhere else.
#include "pe/module.h"

#include <windows.h>

#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ril::pe {
namespace {

// How long a commit waits for a module file that another update (or a process that has it
// loaded) keeps open, and a load for a module that a commit keeps locked.
constexpr DWORD kLockWaitMs = 10000;
constexpr DWORD kLockPollMs = 20;

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
        void const *bytes = LockResource(loaded);
        if (bytes == nullptr)
            return Resource{FindStatus::LoadFailed, nullptr, 0};
        return Resource{FindStatus::Found, static_cast<std::uint8_t const *>(bytes), size};
    }

  private:
    HMODULE handle_;
};

// A file handle closed with its owner.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen())
            CloseHandle(handle_);
    }
    FileHandle(FileHandle const &) = delete;
    FileHandle &operator=(FileHandle const &) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

// Opens an existing module file without sharing: while the handle is open no other update
// can read, write or replace it. A file that is in use is waited for, for a while.
HANDLE LockModule(char const *path) {
    for (DWORD waited = 0;; waited += kLockPollMs) {
        HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return handle;
        if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= kLockWaitMs)
            return INVALID_HANDLE_VALUE;
        Sleep(kLockPollMs);
    }
}

bool SeekTo(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// The whole file from its start; nothing when it cannot be read or is no 32-bit PE size.
std::optional<std::vector<std::uint8_t>> ReadAll(HANDLE file) {
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) == FALSE || size.QuadPart < 0 || size.QuadPart > 0xFFFFFFFFll ||
        !SeekTo(file, 0))
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD got = 0;
        if (ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                     nullptr) == FALSE ||
            got == 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

bool WriteAll(HANDLE file, std::vector<std::uint8_t> const &bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD put = 0;
        if (WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put,
                      nullptr) == FALSE ||
            put == 0)
            return false;
        done += put;
    }
    return true;
}

// Replaces the content of the locked file. A larger file is grown first, so that a full disk
// is found before any byte changes; a smaller one is cut after the new bytes are in.
bool Overwrite(HANDLE file, std::size_t oldSize, std::vector<std::uint8_t> const &bytes) {
    if (bytes.size() > oldSize && (!SeekTo(file, bytes.size()) || SetEndOfFile(file) == FALSE))
        return false;
    return SeekTo(file, 0) && WriteAll(file, bytes) && SetEndOfFile(file) != FALSE &&
           FlushFileBuffers(file) != FALSE;
}

bool WriteNewFile(std::string const &path, std::vector<std::uint8_t> const &bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() && WriteAll(file.Get(), bytes);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string const &path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return std::nullopt;
    return ReadAll(file.Get());
}

// The language of the resource that FindResourceA finds: the one of the enumerated
// languages whose FindResourceExA gives the same resource.
struct LanguageSearch {
    HRSRC target = nullptr;
    std::optional<WORD> language;
};

BOOL CALLBACK MatchLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language,
                            LONG_PTR context) {
    auto *search = reinterpret_cast<LanguageSearch *>(context);
    if (FindResourceExA(module, type, name, language) != search->target)
        return TRUE;
    search->language = language;
    return FALSE;
}

std::optional<WORD> LookupLanguage(HMODULE module, std::uint16_t type, std::uint16_t name) {
    LanguageSearch search;
    search.target = FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
    if (search.target == nullptr)
        return std::nullopt;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(name), MatchLanguage,
                           reinterpret_cast<LONG_PTR>(&search));
    return search.language;
}

// The changes are queued and written by End: under the module's lock, the module is copied
// beside itself, the copy updated with the resource-update calls, and its bytes written back
// through the locked handle (a file held open cannot be renamed over).
class Win32ResourceUpdate : public ResourceUpdate {
  public:
    explicit Win32ResourceUpdate(std::string path)
        : path_(std::move(path)),
          copy_(path_ + ".~" + std::to_string(GetCurrentProcessId()) + "-update") {}
    ~Win32ResourceUpdate() override { DeleteFileA(copy_.c_str()); }

  private:
    bool Commit(std::vector<ResourceChange> changes) override {
        FileHandle lock(LockModule(path_.c_str()));
        if (!lock.IsOpen())
            return false;
        std::optional<std::vector<std::uint8_t>> original = ReadAll(lock.Get());
        if (!original || !WriteNewFile(copy_, *original) || !ResolveRemovals(changes) ||
            !UpdateCopy(changes))
            return false;
        std::optional<std::vector<std::uint8_t>> updated = ReadWholeFile(copy_);
        return updated && Overwrite(lock.Get(), original->size(), *updated);
    }

    // Gives each removal by lookup the language FindResourceA picks in the module as it is
    // now; a removal of a resource the module does not hold is dropped.
    bool ResolveRemovals(std::vector<ResourceChange> &changes) const {
        HMODULE module = nullptr;
        std::vector<ResourceChange> resolved;
        resolved.reserve(changes.size());
        for (ResourceChange &change : changes) {
            if (change.lookupLanguage) {
                if (module == nullptr)
                    module = LoadLibraryExA(copy_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
                if (module == nullptr)
                    return false;
                std::optional<WORD> language = LookupLanguage(module, change.type, change.name);
                if (!language)
                    continue;
                change.language = *language;
                change.lookupLanguage = false;
            }
            resolved.push_back(std::move(change));
        }
        if (module != nullptr)
            FreeLibrary(module);
        changes = std::move(resolved);
        return true;
    }

    bool UpdateCopy(std::vector<ResourceChange> const &changes) const {
        HANDLE update = BeginUpdateResourceA(copy_.c_str(), FALSE);
        if (update == nullptr)
            return false;
        bool queued = true;
        for (ResourceChange const &change : changes) {
            void *data = change.remove ? nullptr : const_cast<std::uint8_t *>(change.data.data());
            auto const size = static_cast<DWORD>(change.remove ? 0 : change.data.size());
            queued = UpdateResourceA(update, MAKEINTRESOURCEA(change.type),
                                     MAKEINTRESOURCEA(change.name), change.language, data,
                                     size) != FALSE;
            if (!queued)
                break;
        }
        return EndUpdateResourceA(update, queued ? FALSE : TRUE) != FALSE && queued;
    }

    std::string path_;
    std::string copy_;
};

} // namespace

std::unique_ptr<Module> LoadModule(char const *path) {
    if (path == nullptr)
        return nullptr;
    // A module that a commit holds locked is waited for, as the commit would wait for it.
    for (DWORD waited = 0;; waited += kLockPollMs) {
        HMODULE handle = LoadLibraryA(path);
        if (handle != nullptr)
            return std::make_unique<Win32Module>(handle);
        if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= kLockWaitMs)
            return nullptr;
        Sleep(kLockPollMs);
    }
}

std::unique_ptr<ResourceUpdate> BeginResourceUpdate(char const *path) {
    if (path == nullptr)
        return nullptr;
    // End does the work under the module's lock; the module must exist.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    try {
        return std::make_unique<Win32ResourceUpdate>(path);
    } catch (std::bad_alloc const &) {
        return nullptr;
    }
}

bool RefreshCheckSum(char const *) {
    return true;
}

} // namespace ril::pe
