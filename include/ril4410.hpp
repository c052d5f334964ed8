// Ril4410 for C++: a table handle as an RAII object over the C functions of Ril4410.h.
//
//     ril::Table table = ril::Table::ForLanguages("/usr/share/app", "strings");
//     if (auto text = table.get(IDT_APP_TITLE))
//         std::cout << *text << '\n';
//
// Lookups may run on any thread at once (see Ril4410.h); set the fallback before the table is
// shared. A Table moves but does not copy; the views it hands out stay valid while it lives.
#ifndef RIL4410_HPP_INCLUDED
#define RIL4410_HPP_INCLUDED

#include "Ril4410.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ril {

class Table {
  public:
    // An empty table: every lookup misses.
    Table() noexcept = default;
    // Takes over a handle from the C functions (null gives an empty table).
    explicit Table(RIL_TABLE *handle) noexcept : handle_(handle) {}
    Table(Table &&other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Table &operator=(Table &&other) noexcept {
        if (this != &other)
            reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Table(Table const &) = delete;
    Table &operator=(Table const &) = delete;
    ~Table() { reset(); }

    // Ril_OpenTable, Ril_OpenTableFromMemory, Ril_OpenTableForLanguages: an empty table on
    // failure (Ril_GetLastError and a notice say why).
    static Table Open(std::string const &binPath) { return Table(Ril_OpenTable(binPath.c_str())); }
    static Table FromMemory(void const *bytes, RIL_ULONG size) {
        return Table(Ril_OpenTableFromMemory(bytes, size));
    }
    // A null `languages` takes the user's languages.
    static Table ForLanguages(std::string const &folder, std::string const &name,
                              char const *languages = nullptr) {
        return Table(Ril_OpenTableForLanguages(folder.c_str(), name.c_str(), languages));
    }

    explicit operator bool() const noexcept { return handle_ != nullptr; }
    RIL_TABLE *handle() const noexcept { return handle_; }

    // The multibyte or UTF-16 text of `id` from this table or its fallbacks, or nothing.
    std::optional<std::string_view> get(RIL_ULONG id) const {
        if (char const *text = Ril_TableGetStringA(handle_, id))
            return std::string_view(text);
        return std::nullopt;
    }
    std::optional<std::u16string_view> getW(RIL_ULONG id) const {
        RIL_WCHAR const *text = Ril_TableGetStringW(handle_, id);
        if (text == nullptr)
            return std::nullopt;
        std::size_t length = 0;
        while (text[length] != 0)
            ++length;
        // UTF-16 units: RIL_WCHAR and char16_t share their size and representation.
        return std::u16string_view(reinterpret_cast<char16_t const *>(text), length);
    }
    // The item's record, or null.
    void const *data(RIL_ULONG id) const noexcept { return Ril_TableGetData(handle_, id); }
    // The count of this table's own file.
    RIL_ULONG size() const noexcept { return Ril_TableGetNumItem(handle_); }

    // Lookups that miss go on to `fallback`, which must outlive this table; false when the
    // fallback would close a cycle (or this table is empty).
    bool setFallback(Table const &fallback) noexcept {
        return Ril_TableSetFallback(handle_, fallback.handle_) == 0;
    }

    // Closes the handle held (and the chain it opened) and takes `handle`.
    void reset(RIL_TABLE *handle = nullptr) noexcept {
        Ril_CloseTable(std::exchange(handle_, handle));
    }
    RIL_TABLE *release() noexcept { return std::exchange(handle_, nullptr); }

  private:
    RIL_TABLE *handle_ = nullptr;
};

} // namespace ril

#endif // RIL4410_HPP_INCLUDED
