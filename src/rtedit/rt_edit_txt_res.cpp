// Session items: their records are built once and owned by the item.
#include "rtedit/rt_edit_txt_res.h"

#include "core/allocate.h"
#include "items/record_builder.h"

#include <cstring>

namespace ril::rtedit {

void CRTEditTxtRes::Clear() {
    id_ = core::kNoId;
    block_.reset();
    record_ = nullptr;
    size_ = 0;
}

core::HResult CRTEditTxtRes::Set(std::uint32_t id, char const *macro, void const *data,
                                 std::uint32_t size) {
    if (id == core::kNoId || data == nullptr || size == 0 || macro == nullptr)
        return core::kEFail;
    std::optional<items::RecordLayout> layout = items::PlanRecord(macro, size, 0);
    if (!layout)
        return core::kEOutOfMemory;
    // One spare byte places the text on an even address; the padding ends any text.
    std::unique_ptr<std::uint8_t[]> block =
        core::NewArray<std::uint8_t>(layout->size + items::kRecordPadding + 1);
    if (!block)
        return core::kEOutOfMemory;
    std::uint8_t *record =
        block.get() + ((reinterpret_cast<std::uintptr_t>(block.get()) + layout->macroBytes) & 1);
    items::FillRecord(std::span<std::uint8_t>(record, layout->size), *layout, macro, data);
    block_ = std::move(block);
    record_ = record;
    size_ = static_cast<std::uint32_t>(layout->size);
    id_ = id;
    return core::kSOk;
}

core::HResult CRTEditTxtRes::SetRemoved(std::uint32_t id) {
    if (id == core::kNoId)
        return core::kEFail;
    block_.reset();
    record_ = nullptr;
    size_ = 0;
    id_ = id;
    return core::kSOk;
}

} // namespace ril::rtedit
