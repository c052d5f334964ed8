// CTxtResRunTimeEditor: the run-time editing session. Its items overlay the loaded table in
// the lookups while it is open, and a commit writes them into the resource module.
#pragma once

#include "rtedit/rt_edit_txt_res.h"
#include "rtedit/txt_res_idx_svr.h"

#include <cstdint>
#include <memory>

namespace ril::rtedit {

class CTxtResRunTimeEditor {
  public:
    explicit CTxtResRunTimeEditor(CTxtResIdxSvr &module) : module_(module) {}
    virtual ~CTxtResRunTimeEditor();
    CTxtResRunTimeEditor(CTxtResRunTimeEditor const &) = delete;
    CTxtResRunTimeEditor &operator=(CTxtResRunTimeEditor const &) = delete;

    core::HResult BeginEdit(std::uint32_t firstId);
    core::HResult AddOrReplaceString(char const *macro, void const *data, std::uint32_t size,
                                     std::uint32_t id, std::uint32_t *newId);
    core::HResult RemoveString(std::uint32_t id);
    core::HResult EndEdit(int discard);

    CRTEditTxtRes *FindItem(std::uint32_t id) const;
    // The overlay query: the session's record for the ID, or an empty reference.
    items::RecordRef FindRecord(std::uint32_t id) const;

    bool IsEditing() const { return editing_ != 0; }
    std::uint32_t Count() const { return count_; }
    std::uint32_t Capacity() const { return capacity_; }
    std::uint32_t IdCounter() const { return idCounter_; }

  private:
    static constexpr std::uint32_t kGrowth = 1024;

    core::HResult AppendItem(std::unique_ptr<CRTEditTxtRes> item);
    void RemoveItemAt(std::uint32_t index);
    void ReleaseItems();
    bool ModuleHolds(std::uint32_t id) {
        return module_.FindStringResource(static_cast<std::uint16_t>(id)) != nullptr;
    }

    CTxtResIdxSvr &module_;
    int editing_ = 0;
    std::unique_ptr<std::unique_ptr<CRTEditTxtRes>[]> items_;
    std::uint32_t capacity_ = 0;
    std::uint32_t count_ = 0;
    std::uint32_t idCounter_ = 1000;
};

} // namespace ril::rtedit
