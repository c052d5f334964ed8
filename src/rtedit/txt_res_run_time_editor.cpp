// The editing session: new IDs above those of the module, an overlay of added and replaced
// items, removals that a commit turns into deleted resources.
#include "rtedit/txt_res_run_time_editor.h"

#include "core/allocate.h"

#include <cstring>
#include <vector>

namespace ril::rtedit {
namespace {

constexpr std::uint32_t kHighestProbedId = 65534;

} // namespace

CTxtResRunTimeEditor::~CTxtResRunTimeEditor() {
    if (editing_ != 0)
        EndEdit(1);
}

core::HResult CTxtResRunTimeEditor::BeginEdit(std::uint32_t firstId) {
    if (editing_ != 0)
        EndEdit(1);
    if (!module_.IsOpen())
        return core::kErrNoModule;
    for (std::uint32_t id = 0; id <= kHighestProbedId; ++id)
        if (firstId <= id && ModuleHolds(id))
            firstId = id + 1;
    idCounter_ = firstId;
    editing_ = 1;
    return core::kSOk;
}

core::HResult CTxtResRunTimeEditor::AddOrReplaceString(char const *macro, void const *data,
                                                       std::uint32_t size, std::uint32_t id,
                                                       std::uint32_t *newId) {
    if (!module_.IsOpen())
        return core::kErrNoModule;
    if (editing_ == 0)
        return core::kErrNoSession;
    if (macro == nullptr || std::strlen(macro) >= core::kMacroLimit)
        return core::kErrMacro;
    if (data == nullptr || size == 0)
        return core::kErrArgument;
    if (id == core::kNoId) {
        // A new ID past the last resource name would alias an item; none is spent then.
        if (idCounter_ >= kHighestResourceId)
            return core::kErrArgument;
        id = idCounter_ + 1;
        idCounter_ = id + 1;
    } else if (!NamesOwnResource(id)) {
        return core::kErrArgument;
    } else if (CRTEditTxtRes *found = FindItem(id)) {
        // Replaced in place; the item keeps its place and, on failure, its old record.
        if (newId != nullptr)
            *newId = id;
        return found->Set(id, macro, data, size);
    }
    std::unique_ptr<CRTEditTxtRes> item = core::NewObject<CRTEditTxtRes>();
    if (!item)
        return core::kEOutOfMemory;
    core::HResult result = item->Set(id, macro, data, size);
    if (result < 0)
        return result;
    result = AppendItem(std::move(item));
    if (result == core::kSOk && newId != nullptr)
        *newId = id;
    return result;
}

core::HResult CTxtResRunTimeEditor::RemoveString(std::uint32_t id) {
    if (!module_.IsOpen())
        return core::kErrNoModule;
    if (editing_ == 0)
        return core::kErrNoSession;
    // The module holds no such ID, and the session refuses to add one.
    if (!NamesOwnResource(id))
        return core::kSFalse;
    for (std::uint32_t i = 0; i < count_; ++i) {
        if (items_[i]->Id() != id)
            continue;
        if (ModuleHolds(id)) {
            items_[i]->Clear();
            return items_[i]->SetRemoved(id);
        }
        // Only this session had added it.
        items_[i].reset();
        RemoveItemAt(i);
        return core::kSOk;
    }
    if (!ModuleHolds(id))
        return core::kSFalse;
    std::unique_ptr<CRTEditTxtRes> item = core::NewObject<CRTEditTxtRes>();
    if (!item)
        return core::kEOutOfMemory;
    item->SetRemoved(id);
    return AppendItem(std::move(item));
}

core::HResult CTxtResRunTimeEditor::EndEdit(int discard) {
    if (!module_.IsOpen())
        return core::kErrNoModule;
    if (editing_ == 0)
        return core::kErrNoSession;
    if (discard == 0) {
        std::vector<CTxtResIdxSvr::Item> commit;
        commit.reserve(count_);
        for (std::uint32_t i = 0; i < count_; ++i) {
            items::RecordRef record = items_[i]->Record();
            commit.push_back(CTxtResIdxSvr::Item{items_[i]->Id(), record.data, record.size});
        }
        if (module_.UpdateModuleResources(commit) != core::kSOk) {
            EndEdit(1);
            return core::kEFail;
        }
        ReleaseItems();
        return core::kSOk;
    }
    // The edits are dropped even when the marker cannot be appended (the module's file may
    // be gone), but that failure is reported.
    module_.CloseModule();
    core::HResult marked = module_.AppendMarker(nullptr);
    module_.ReopenModule();
    ReleaseItems();
    return marked;
}

CRTEditTxtRes *CTxtResRunTimeEditor::FindItem(std::uint32_t id) const {
    if (editing_ == 0 || id == core::kNoId || !items_)
        return nullptr;
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i]->Id() == id)
            return items_[i].get();
    return nullptr;
}

items::RecordRef CTxtResRunTimeEditor::FindRecord(std::uint32_t id) const {
    CRTEditTxtRes *item = FindItem(id);
    return item != nullptr ? item->Record() : items::RecordRef{};
}

core::HResult CTxtResRunTimeEditor::AppendItem(std::unique_ptr<CRTEditTxtRes> item) {
    if (!items_ || count_ >= capacity_) {
        std::uint32_t capacity = capacity_ + kGrowth;
        std::unique_ptr<std::unique_ptr<CRTEditTxtRes>[]> grown =
            core::NewArray<std::unique_ptr<CRTEditTxtRes>>(capacity);
        if (!grown)
            return core::kEOutOfMemory;
        for (std::uint32_t i = 0; i < count_; ++i)
            grown[i] = std::move(items_[i]);
        items_ = std::move(grown);
        capacity_ = capacity;
    }
    items_[count_++] = std::move(item);
    return core::kSOk;
}

void CTxtResRunTimeEditor::RemoveItemAt(std::uint32_t index) {
    if (!items_ || index >= count_)
        return;
    for (std::uint32_t i = index; i + 1 < count_; ++i)
        items_[i] = std::move(items_[i + 1]);
    items_[--count_].reset();
}

void CTxtResRunTimeEditor::ReleaseItems() {
    items_.reset();
    count_ = 0;
    capacity_ = 0;
    editing_ = 0;
}

} // namespace ril::rtedit
