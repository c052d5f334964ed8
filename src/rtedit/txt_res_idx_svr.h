// CTxtResIdxSvr: the resource module of the editing session. It loads and unloads the
// module, remembers its path, finds the resource of an ID and commits a batch of item
// records into the module's file. Each operation records its result as the last error.
#pragma once

#include "platform/module.h"
#include "util/result_codes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ril {

class CTxtResIdxSvr {
  public:
    // One record to commit: a null record with size 0 deletes the resource of that ID.
    struct Item {
        std::uint32_t id;
        const std::uint8_t *record;
        std::uint32_t size;
    };

    CTxtResIdxSvr() = default;
    virtual ~CTxtResIdxSvr();
    CTxtResIdxSvr(const CTxtResIdxSvr &) = delete;
    CTxtResIdxSvr &operator=(const CTxtResIdxSvr &) = delete;

    HResult OpenModule(const char *path);
    HResult ReopenModule();
    HResult CloseModule();
    // The bytes of the module's resource named by the ID's low 16 bits, or null (no module
    // -103, no such resource -106, not loadable -107, empty: 0).
    const std::uint8_t *FindStringResource(std::uint16_t id, std::uint32_t *size = nullptr);
    // Writes every item in order into the module's file, all or nothing: 0 or E_FAIL.
    HResult UpdateModuleResources(const std::vector<Item> &items);

    bool IsOpen() const { return module_ != nullptr; }
    const char *Path() const { return path_; }

  private:
    HResult Record(HResult result);

    std::unique_ptr<platform::Module> module_;
    char path_[520] = {};
};

} // namespace ril
