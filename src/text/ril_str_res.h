// The items of the tools' item list: CppMacro holds an ID and a macro name in its multibyte
// and wide forms; RilStrRes adds the item record (macro length, macro, text).
#pragma once

#include "util/result_codes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace ril {

constexpr std::size_t kMacroField = 128; // 127 characters and a terminator

class CppMacro {
  public:
    CppMacro() = default;
    virtual ~CppMacro() = default;
    virtual void Reset();

    // Fills MacroW from Macro, or Macro from MacroW, through the ANSI code page. A wide
    // macro whose multibyte form would not fit the field is cut at a character boundary.
    void WidenMacro();
    void NarrowMacro();

    std::uint32_t ID = 0;
    char Macro[kMacroField] = {};
    std::uint16_t MacroW[kMacroField] = {};
};

class RilStrRes : public CppMacro {
  public:
    RilStrRes() = default;
    ~RilStrRes() override = default;
    void Reset() override;

    // Builds a record from Macro and `length` bytes (SetTextA) or UTF-16 units (SetTextW) of
    // text, which need not be terminated. kSOk or kEOutOfMemory (then there is no record).
    HResult SetTextA(const void *text, std::size_t length);
    HResult SetTextW(const void *text, std::size_t length);
    // Takes a copy of a record read from a BIN and fills both macro forms from it. A macro
    // length beyond the record or beyond the field is cut to what fits. With `available`
    // below `size` (a record cut short by the end of its file) the missing bytes are zero.
    HResult SetRecord(const std::uint8_t *record, std::uint32_t size);
    HResult SetRecord(const std::uint8_t *record, std::size_t available, std::uint32_t size);

    struct FreeBlock {
        void operator()(std::uint8_t *block) const { std::free(block); }
    };
    using RecordBlock = std::unique_ptr<std::uint8_t[], FreeBlock>;

    std::uint32_t RecordSize = 0;
    // The record, followed by zero padding that RecordSize does not count.
    RecordBlock Record;

  private:
    HResult BuildRecord(const void *text, std::size_t textBytes, std::size_t terminatorBytes);
};

} // namespace ril
