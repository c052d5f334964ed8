// Session items: their records are built once and owned by the item.
#include "rtedit/rt_edit_txt_res.h"

#include "core/allocate.h"
#include "items/record_builder.h"

#include <cstring>

namespace ril {

void CRTEditTxtRes::Clear() {
    id_ = kNoId;
    block_.reset();
    record_ = nullptr;
    size_ = 0;
}

HResult CRTEditTxtRes::Set(std::uint32_t id, char const *macro, void const *data,
                           std::uint32_t size) {
    if (id == kNoId || data == nullptr || size == 0 || macro == nullptr)
        return kEFail;
    std::optional<RecordLayout> layout = PlanRecord(macro, size, 0);
    if (!layout)
        return kEOutOfMemory;
    // One spare byte places the text on an even address; the padding ends any text.
    std::unique_ptr<std::uint8_t[]> block =
        NewArray<std::uint8_t>(layout->size + kRecordPadding + 1);
    if (!block)
        return kEOutOfMemory;
    std::uint8_t *record =
        block.get() + ((reinterpret_cast<std::uintptr_t>(block.get()) + layout->macroBytes) & 1);
    FillRecord(std::span<std::uint8_t>(record, layout->size), *layout, macro, data);
    block_ = std::move(block);
    record_ = record;
    size_ = static_cast<std::uint32_t>(layout->size);
    id_ = id;
    return kSOk;
}

HResult CRTEditTxtRes::SetRemoved(std::uint32_t id) {
    if (id == kNoId)
        return kEFail;
    block_.reset();
    record_ = nullptr;
    size_ = 0;
    id_ = id;
    return kSOk;
}

} // namespace ril
