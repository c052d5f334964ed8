// The editing session: new IDs above those of the module, an overlay of added and replaced
// items, removals that a commit turns into deleted resources.
#include "rtedit/txt_res_run_time_editor.h"

#include "core/allocate.h"

#include <cstring>
#include <vector>

namespace ril {
namespace {

constexpr std::uint32_t kHighestProbedId = 65534;

} // namespace

CTxtResRunTimeEditor::~CTxtResRunTimeEditor() {
    if (editing_ != 0)
        EndEdit(1);
}

HResult CTxtResRunTimeEditor::BeginEdit(std::uint32_t firstId) {
    if (editing_ != 0)
        EndEdit(1);
    if (!module_.IsOpen())
        return kErrNoModule;
    for (std::uint32_t id = 0; id <= kHighestProbedId; ++id)
        if (firstId <= id && ModuleHolds(id))
            firstId = id + 1;
    idCounter_ = firstId;
    editing_ = 1;
    return kSOk;
}

HResult CTxtResRunTimeEditor::AddOrReplaceString(char const *macro, void const *data,
                                                 std::uint32_t size, std::uint32_t id,
                                                 std::uint32_t *newId) {
    if (!module_.IsOpen())
        return kErrNoModule;
    if (editing_ == 0)
        return kErrNoSession;
    if (macro == nullptr || std::strlen(macro) >= kMacroLimit)
        return kErrMacro;
    if (data == nullptr || size == 0)
        return kErrArgument;
    if (id == kNoId) {
        // A new ID past the last resource name would alias an item; none is spent then.
        if (idCounter_ >= kHighestResourceId)
            return kErrArgument;
        id = idCounter_ + 1;
        idCounter_ = id + 1;
    } else if (!NamesOwnResource(id)) {
        return kErrArgument;
    } else if (CRTEditTxtRes *found = FindItem(id)) {
        // Replaced in place; the item keeps its place and, on failure, its old record.
        if (newId != nullptr)
            *newId = id;
        return found->Set(id, macro, data, size);
    }
    std::unique_ptr<CRTEditTxtRes> item = NewObject<CRTEditTxtRes>();
    if (!item)
        return kEOutOfMemory;
    HResult result = item->Set(id, macro, data, size);
    if (result < 0)
        return result;
    result = AppendItem(std::move(item));
    if (result == kSOk && newId != nullptr)
        *newId = id;
    return result;
}

HResult CTxtResRunTimeEditor::RemoveString(std::uint32_t id) {
    if (!module_.IsOpen())
        return kErrNoModule;
    if (editing_ == 0)
        return kErrNoSession;
    // The module holds no such ID, and the session refuses to add one.
    if (!NamesOwnResource(id))
        return kSFalse;
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
        return kSOk;
    }
    if (!ModuleHolds(id))
        return kSFalse;
    std::unique_ptr<CRTEditTxtRes> item = NewObject<CRTEditTxtRes>();
    if (!item)
        return kEOutOfMemory;
    item->SetRemoved(id);
    return AppendItem(std::move(item));
}

HResult CTxtResRunTimeEditor::EndEdit(int discard) {
    if (!module_.IsOpen())
        return kErrNoModule;
    if (editing_ == 0)
        return kErrNoSession;
    if (discard == 0) {
        std::vector<CTxtResIdxSvr::Item> commit;
        commit.reserve(count_);
        for (std::uint32_t i = 0; i < count_; ++i) {
            RecordRef record = items_[i]->Record();
            commit.push_back(CTxtResIdxSvr::Item{items_[i]->Id(), record.data, record.size});
        }
        if (module_.UpdateModuleResources(commit) != kSOk) {
            EndEdit(1);
            return kEFail;
        }
        ReleaseItems();
        return kSOk;
    }
    // The edits are dropped even when the marker cannot be appended (the module's file may
    // be gone), but that failure is reported.
    module_.CloseModule();
    HResult marked = module_.AppendMarker(nullptr);
    module_.ReopenModule();
    ReleaseItems();
    return marked;
}

CRTEditTxtRes *CTxtResRunTimeEditor::FindItem(std::uint32_t id) const {
    if (editing_ == 0 || id == kNoId || !items_)
        return nullptr;
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i]->Id() == id)
            return items_[i].get();
    return nullptr;
}

RecordRef CTxtResRunTimeEditor::FindRecord(std::uint32_t id) const {
    CRTEditTxtRes *item = FindItem(id);
    return item != nullptr ? item->Record() : RecordRef{};
}

HResult CTxtResRunTimeEditor::AppendItem(std::unique_ptr<CRTEditTxtRes> item) {
    if (!items_ || count_ >= capacity_) {
        std::uint32_t capacity = capacity_ + kGrowth;
        std::unique_ptr<std::unique_ptr<CRTEditTxtRes>[]> grown =
            NewArray<std::unique_ptr<CRTEditTxtRes>>(capacity);
        if (!grown)
            return kEOutOfMemory;
        for (std::uint32_t i = 0; i < count_; ++i)
            grown[i] = std::move(items_[i]);
        items_ = std::move(grown);
        capacity_ = capacity;
    }
    items_[count_++] = std::move(item);
    return kSOk;
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

} // namespace ril
