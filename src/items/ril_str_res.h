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

namespace ril {

constexpr std::size_t kMacroField = kMacroLimit + 1; // the longest macro and a terminator

class CppMacro {
  public:
    // Both macro fields start zeroed.
    CppMacro() : Macro{}, MacroW{} {}
    virtual ~CppMacro() = default;
    virtual void Reset();

    // Fills MacroW from Macro, or Macro from MacroW, through the ANSI code page. A wide
    // macro whose multibyte form would not fit the field is cut at a character boundary.
    // Only the characters and the terminator are written.
    void WidenMacro();
    void NarrowMacro();

    std::uint32_t ID = 0;
    char Macro[kMacroField];
    std::uint16_t MacroW[kMacroField];

  protected:
    // For items made in bulk: both macros empty, the bytes behind the terminators unset
    // (zeroing 384 bytes an item would cost more than everything else a list does).
    struct EmptyMacros {};
    explicit CppMacro(EmptyMacros) {
        Macro[0] = '\0';
        MacroW[0] = 0;
    }
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
    using RecordRelease = ril::RecordRelease;
    using RecordBlock = std::unique_ptr<std::uint8_t[], RecordRelease>;

    // A stand-alone item, whose records come from the heap.
    RilStrRes() = default;
    // An item of a list, whose records come from the list's arena and go with it.
    explicit RilStrRes(Arena *records) : CppMacro(EmptyMacros{}), arena_(records) {}
    ~RilStrRes() override = default;
    void Reset() override;

    // Builds a record from Macro and `length` bytes (SetTextA) or UTF-16 units (SetTextW) of
    // text, which need not be terminated. kSOk or kEOutOfMemory (then there is no record).
    HResult SetTextA(void const *text, std::size_t length);
    HResult SetTextW(void const *text, std::size_t length);
    // Takes a copy of a record read from a BIN and fills both macro forms from it. A macro
    // length beyond the record or beyond the field is cut to what fits. With `available`
    // below `size` (a record cut short by the end of its file) the missing bytes are zero.
    HResult SetRecord(std::uint8_t const *record, std::uint32_t size);
    HResult SetRecord(std::uint8_t const *record, std::size_t available, std::uint32_t size);
    // Like SetRecord, but the record stays where it is: in a buffer that outlives the item.
    void BorrowRecord(std::uint8_t *record, std::uint32_t size);

    std::uint32_t RecordSize = 0;
    // The record. One the item built or copied is followed by zero padding that RecordSize
    // does not count; a borrowed one ends at RecordSize, as every reader of a list expects.
    RecordBlock Record;
    // Where the item was read from a text file: the byte offset of its "RilStringID="
    // keyword from the file's first byte (a byte-order mark included), or -1.
    std::int64_t SourceOffset = -1;

  private:
    RecordBlock AllocateRecord(std::size_t size, std::size_t filled) const;
    HResult BuildRecord(void const *text, std::size_t textBytes, std::size_t terminatorBytes);
    void MacroFromRecord();

    Arena *arena_ = nullptr;
};

} // namespace ril
