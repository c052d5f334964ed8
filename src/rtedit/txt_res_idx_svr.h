// CTxtResIdxSvr: the resource module of the editing session. It loads and unloads the
// module, remembers its path, finds the resource of an ID and commits a batch of item
// records into the module's file. Each operation records its result in the last-error code
// it was given.
#pragma once

#include "core/limits.h"
#include "core/result_codes.h"
#include "pe/module.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace ril::rtedit {

// Module resources are named by 16-bit integers other than 0: an item ID outside 1..65535
// would name another item's resource (by its low 16 bits) or none.
constexpr std::uint32_t kHighestResourceId = 0xFFFF;
constexpr bool NamesOwnResource(std::uint32_t id) {
    return id >= 1 && id <= kHighestResourceId;
}

class CTxtResIdxSvr {
  public:
    // One record to commit: a null record with size 0 deletes the resource of that ID.
    struct Item {
        std::uint32_t id;
        std::uint8_t const *record;
        std::uint32_t size;
    };

    explicit CTxtResIdxSvr(std::atomic<core::HResult> &lastError) : lastError_(lastError) {}
    virtual ~CTxtResIdxSvr();
    CTxtResIdxSvr(CTxtResIdxSvr const &) = delete;
    CTxtResIdxSvr &operator=(CTxtResIdxSvr const &) = delete;

    core::HResult OpenModule(char const *path);
    core::HResult ReopenModule();
    core::HResult CloseModule();
    // The bytes of the module's resource named by the ID's low 16 bits, or null (no module
    // -103, no such resource -106, not loadable -107, empty: 0).
    std::uint8_t const *FindStringResource(std::uint16_t id, std::uint32_t *size = nullptr);
    // Writes every item in order into the module's file, all or nothing, then appends an
    // empty holder marker: 0, or E_FAIL (also for an item whose ID names no resource of its
    // own, and when the marker cannot be appended).
    core::HResult UpdateModuleResources(std::vector<Item> const &items);
    // Appends a holder marker to the module's file, which the caller has closed, and brings
    // the module's checksum up to date. A missing file is not created. Records no last error.
    core::HResult AppendMarker(char const *holder);

    bool IsOpen() const { return module_ != nullptr; }
    char const *Path() const { return path_; }

  private:
    core::HResult Record(core::HResult result);

    std::atomic<core::HResult> &lastError_;
    std::unique_ptr<pe::Module> module_;
    char path_[core::kPathSize] = {};
};

} // namespace ril::rtedit
