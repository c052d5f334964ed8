// CRilTxtLoader: the item list that the import, export and header tools build for one call.
// It owns its items; their order is file order until validation sorts them by ID.
#pragma once

#include "text/ril_str_res.h"

#include <cstddef>
#include <list>
#include <memory>

namespace ril {

class CRilTxtLoader {
  public:
    using Items = std::list<std::unique_ptr<RilStrRes>>;

    CRilTxtLoader() = default;
    virtual ~CRilTxtLoader() = default;
    CRilTxtLoader(const CRilTxtLoader &) = delete;
    CRilTxtLoader &operator=(const CRilTxtLoader &) = delete;

    // Appends the items of a text resource file; 1 on success, 0 after reporting a failure.
    int LoadTxt(const char *txtPath, int wide, const char *logPath);
    // Reports every bad or repeated macro and repeated ID, removes the repeats and sorts
    // the list by signed ID; true when nothing was wrong.
    bool Validate(const char *logPath);
    // Writes the list as a BIN (the loaded table's file when binPath is null); 1 or 0.
    int SaveBin(const char *binPath, const char *logPath);
    // Appends the entries of a BIN (the loaded table's file when binPath is null); 1 on
    // success, 0 after showing why.
    int LoadBin(const char *binPath);
    // Writes the list as a text resource file in the given flavour; 1 or 0.
    int SaveTxt(const char *path, int wide) const;
    // Writes the list as a header of IDT_ definitions; false when it could not be written.
    bool WriteHeader(const char *headerPath, int wide) const;

    void Append(std::unique_ptr<RilStrRes> item) { items_.push_back(std::move(item)); }
    Items &List() { return items_; }
    const Items &List() const { return items_; }
    std::size_t Count() const { return items_.size(); }

  private:
    Items items_;
};

// Fills `list` with the BIN a tool works on (the loaded table's file when binPath is null):
// kSOk, kErrArgument (neither a path nor a loaded table: reported), or kErrBinRead.
HResult LoadToolSource(CRilTxtLoader &list, const char *binPath);

} // namespace ril
