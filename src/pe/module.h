// Resource modules: loading a Windows module by path, finding its resources, and batch
// updates of its resources. On Windows these are the kernel32 calls (module_win32.cpp);
// elsewhere the library reads and rewrites the PE file's resource section itself
// (module_pe.cpp). The queueing of a batch is shared by both (module.cpp).
#pragma once

#include "pe/pe_resources.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ril::pe {

constexpr std::uint16_t kRtRcData = 10;

// A loaded module. Resource bytes it hands out stay valid while it lives.
class Module {
  public:
    enum class FindStatus { Found, NotFound, LoadFailed };
    struct Resource {
        FindStatus status = FindStatus::NotFound;
        std::uint8_t const *data = nullptr;
        std::uint32_t size = 0;
    };

    virtual ~Module() = default;
    // The resource of an integer type and integer name, in language 0 when present, else in
    // the platform's choice of language. A name whose low 16 bits are 0 is never found.
    virtual Resource Find(std::uint16_t type, std::uint16_t name) = 0;
};

// Loads the module at `path` (a full load on Windows; a validated PE image elsewhere).
// Null when it cannot be loaded.
std::unique_ptr<Module> LoadModule(char const *path);

// A batch of resource changes to a module file, written all at once or not at all. The
// changes are queued here; a backend writes them in Commit.
class ResourceUpdate {
  public:
    virtual ~ResourceUpdate() = default;
    // Adds or replaces (data and size given) or deletes (null data, size 0) the resource of
    // (type, integer name, language). False when the change cannot be queued.
    bool Update(std::uint16_t type, std::uint16_t name, std::uint16_t language, void const *data,
                std::uint32_t size);
    // Deletes the resource that Module::Find finds for (type, integer name) in the file as it
    // is when the batch is written, whatever its language; nothing when there is none. False
    // when the change cannot be queued.
    bool Remove(std::uint16_t type, std::uint16_t name);
    // Writes every queued change into the file (discard false) or none (discard true). False
    // when writing failed; the file is then left as it was. A batch ends once: later calls
    // of any kind are refused.
    bool End(bool discard);

  protected:
    // Writes `changes`, in order, into the module file: all of them or none.
    virtual bool Commit(std::vector<ResourceChange> changes) = 0;

  private:
    bool Queue(ResourceChange change);

    std::vector<ResourceChange> changes_;
    bool ended_ = false;
};

// Opens the module file at `path` for updates that keep its existing resources; null when
// it cannot be opened or is not a module. End reads, changes and replaces the file while it
// holds an exclusive lock on it, so concurrent batches, from this process or others, apply
// one after the other, each to the file as the one before left it.
std::unique_ptr<ResourceUpdate> BeginResourceUpdate(char const *path);

// Brings the PE checksum of the module file at `path` up to date after bytes were appended
// to it (a checksum of 0, "not set", stays 0), under the same lock as updates. False when the
// file could not be read or written. Windows checks no DLL's checksum: nothing is done there.
bool RefreshCheckSum(char const *path);

} // namespace ril::pe
