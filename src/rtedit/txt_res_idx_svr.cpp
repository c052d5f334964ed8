// The module accessor: loading, probing and committing into the resource module.
#include "rtedit/txt_res_idx_svr.h"

#include "core/safe_text.h"
#include "rtedit/holder_marker.h"

#include <algorithm>
#include <cstring>

namespace ril::rtedit {

CTxtResIdxSvr::~CTxtResIdxSvr() {
    module_.reset();
}

core::HResult CTxtResIdxSvr::Record(core::HResult result) {
    lastError_ = result;
    return result;
}

core::HResult CTxtResIdxSvr::OpenModule(char const *path) {
    if (path == nullptr || std::strlen(path) >= core::kPathSize)
        return Record(core::kErrArgument);
    module_.reset();
    module_ = pe::LoadModule(path);
    if (!module_)
        return Record(core::kErrModuleLoad);
    core::SafeCopyA(path_, sizeof path_, path);
    return Record(core::kSOk);
}

core::HResult CTxtResIdxSvr::ReopenModule() {
    if (path_[0] == '\0')
        return Record(core::kErrNoModulePath);
    module_.reset();
    module_ = pe::LoadModule(path_);
    return Record(module_ ? core::kSOk : core::kErrModuleLoad);
}

core::HResult CTxtResIdxSvr::CloseModule() {
    module_.reset();
    return Record(core::kSOk);
}

std::uint8_t const *CTxtResIdxSvr::FindStringResource(std::uint16_t id, std::uint32_t *size) {
    lastError_ = core::kSOk;
    if (size != nullptr)
        *size = 0;
    if (!module_) {
        Record(core::kErrNoModule);
        return nullptr;
    }
    pe::Module::Resource found = module_->Find(pe::kRtRcData, id);
    switch (found.status) {
    case pe::Module::FindStatus::NotFound:
        Record(core::kErrNoSuchResource);
        return nullptr;
    case pe::Module::FindStatus::LoadFailed:
        Record(core::kErrResourceLoad);
        return nullptr;
    case pe::Module::FindStatus::Found:
        break;
    }
    if (size != nullptr)
        *size = found.size;
    return found.size == 0 ? nullptr : found.data;
}

core::HResult CTxtResIdxSvr::UpdateModuleResources(std::vector<Item> const &items) {
    // A loaded module's file cannot be rewritten.
    CloseModule();
    bool written = std::all_of(items.begin(), items.end(),
                               [](Item const &item) { return NamesOwnResource(item.id); });
    std::unique_ptr<pe::ResourceUpdate> update = written ? pe::BeginResourceUpdate(path_) : nullptr;
    written = update != nullptr;
    for (Item const &item : items) {
        if (!written)
            break;
        auto const name = static_cast<std::uint16_t>(item.id);
        // A removal deletes the resource in whichever language the lookups find it.
        written = item.record == nullptr
                      ? update->Remove(pe::kRtRcData, name)
                      : update->Update(pe::kRtRcData, name, 0, item.record, item.size);
    }
    if (update != nullptr)
        written = update->End(!written) && written;
    if (!written) {
        // Nothing of this commit reached the file.
        ReopenModule();
        return Record(core::kEFail);
    }
    core::HResult marked = AppendMarker(nullptr);
    ReopenModule();
    return Record(marked == core::kSOk ? core::kSOk : core::kEFail);
}

core::HResult CTxtResIdxSvr::AppendMarker(char const *holder) {
    core::HResult result = AppendHolderMarker(path_, holder);
    // A stale checksum does not keep the module from loading: a failure here is not one of
    // the marker's.
    if (result == core::kSOk)
        pe::RefreshCheckSum(path_);
    return result;
}

} // namespace ril::rtedit
