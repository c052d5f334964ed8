// The items of the tools' item list: CppMacro holds an ID and a macro name in its multibyte
// and wide forms; RilStrRes adds the item record (macro length, macro, text).
#pragma once

#include "core/arena.h"
#include "core/limits.h"
#include "core/result_codes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace ril::items {

constexpr std::size_t kMacroField = core::kMacroLimit + 1; // the longest macro and a terminator

// The macro is kept compactly: its multibyte form with its terminator, and the wide form only
// where it is not the multibyte one widened (a wide macro whose characters the ANSI code page
// cannot all hold). A short macro lives in the item itself, beside its ID; a longer one in
// the item's arena, or in a block of its own for a stand-alone item.
class CppMacro {
  public:
    CppMacro() = default;
    virtual ~CppMacro() = default;
    CppMacro(CppMacro const &) = delete;
    CppMacro &operator=(CppMacro const &) = delete;
    virtual void Reset();

    // The multibyte macro: at most 127 bytes and a terminator.
    char const *Macro() const { return macro_; }
    // The wide macro, at most 127 units: the one SetMacroW was given (cut with the multibyte
    // form), or the multibyte macro through the ANSI code page.
    std::u16string MacroW() const;

    // Sets the macro from `length` bytes, cut at a zero byte and to 127 bytes.
    // kSOk, or kEOutOfMemory with an empty macro.
    core::HResult SetMacro(char const *bytes, std::size_t length);
    // Sets the macro from `length` UTF-16 units, cut at a zero unit and to 127 units. The
    // multibyte form is its conversion through the ANSI code page; a macro whose multibyte
    // form would pass 127 bytes is cut at a character boundary, in both forms alike.
    core::HResult SetMacroW(std::uint16_t const *units, std::size_t length);

    std::uint32_t ID = 0;

  protected:
    // An item of a list: its macros (and records) come from `arena` and go with it.
    explicit CppMacro(core::Arena *arena) : arena_(arena) {}
    core::Arena *ItemArena() const { return arena_; }

  private:
    // Room for `bytes` bytes, aligned for 16-bit units: in the item when they fit, else from
    // the arena or the heap (a stand-alone item's earlier block goes); null when memory runs
    // out.
    std::uint8_t *Store(std::size_t bytes);
    void Clear();

    char const *macro_ = "";
    std::uint16_t const *macroW_ = nullptr; // null: the multibyte macro widened
    core::Arena *arena_ = nullptr;
    std::unique_ptr<std::uint8_t[]> own_; // a stand-alone item's macro block
    alignas(std::uint16_t) std::uint8_t inline_[24];
};

// Frees a record block that came from the heap (a stand-alone item's). Blocks from a list's
// arena, or borrowed from a buffer the list keeps, go with the list.
struct RecordRelease {
    bool fromHeap = false;
    void operator()(std::uint8_t *block) const {
        if (fromHeap)
            std::free(block);
    }
};

class RilStrRes : public CppMacro {
  public:
    using RecordRelease = ril::items::RecordRelease;
    using RecordBlock = std::unique_ptr<std::uint8_t[], RecordRelease>;

    // A stand-alone item, whose records come from the heap.
    RilStrRes() = default;
    // An item of a list, whose records come from the list's arena and go with it.
    explicit RilStrRes(core::Arena *records) : CppMacro(records) {}
    ~RilStrRes() override = default;
    void Reset() override;

    // Builds a record from Macro and `length` bytes (SetTextA) or UTF-16 units (SetTextW) of
    // text, which need not be terminated. kSOk or kEOutOfMemory (then there is no record).
    core::HResult SetTextA(void const *text, std::size_t length);
    core::HResult SetTextW(void const *text, std::size_t length);
    // Takes a copy of a record read from a BIN and fills both macro forms from it. A macro
    // length beyond the record or beyond the field is cut to what fits. With `available`
    // below `size` (a record cut short by the end of its file) the missing bytes are zero.
    // kSOk or kEOutOfMemory (then there is no record).
    core::HResult SetRecord(std::uint8_t const *record, std::uint32_t size);
    core::HResult SetRecord(std::uint8_t const *record, std::size_t available, std::uint32_t size);
    // Like SetRecord, but the record stays where it is: in a buffer that outlives the item.
    core::HResult BorrowRecord(std::uint8_t *record, std::uint32_t size);

    std::uint32_t RecordSize = 0;
    // The record. One the item built or copied is followed by zero padding that RecordSize
    // does not count; a borrowed one ends at RecordSize, as every reader of a list expects.
    RecordBlock Record;
    // Where the item was read from a text file: the byte offset of its "RilStringID="
    // keyword from the file's first byte (a byte-order mark included), or -1.
    std::int64_t SourceOffset = -1;

  private:
    RecordBlock AllocateRecord(std::size_t size, std::size_t filled) const;
    core::HResult BuildRecord(void const *text, std::size_t textBytes, std::size_t terminatorBytes);
    core::HResult TakeRecord(RecordBlock record, std::uint32_t size);
};

} // namespace ril::items
