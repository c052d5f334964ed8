// CRTEditTxtRes: one item of the editing session. Empty (no ID), content (ID and record) or
// a removal (ID, no record).
#pragma once

#include "core/limits.h"
#include "core/result_codes.h"
#include "items/item_record.h"

#include <cstdint>
#include <memory>

namespace ril::rtedit {

class CRTEditTxtRes {
  public:
    CRTEditTxtRes() = default;
    virtual ~CRTEditTxtRes() = default;
    CRTEditTxtRes(CRTEditTxtRes const &) = delete;
    CRTEditTxtRes &operator=(CRTEditTxtRes const &) = delete;

    void Clear();
    // Makes the item hold the record: the macro with its terminator, then `size` data bytes.
    // The previous record is replaced only on success.
    core::HResult Set(std::uint32_t id, char const *macro, void const *data, std::uint32_t size);
    core::HResult SetRemoved(std::uint32_t id);

    std::uint32_t Id() const { return id_; }
    // The record, or an empty reference for an empty or removal item. The record is followed
    // by zero padding and its text starts on an even address.
    items::RecordRef Record() const { return items::RecordRef{record_, size_}; }

  private:
    std::uint32_t id_ = core::kNoId;
    std::unique_ptr<std::uint8_t[]> block_;
    std::uint8_t *record_ = nullptr;
    std::uint32_t size_ = 0;
};

} // namespace ril::rtedit
