// What the text parser tells an observer (the lint) while it reads a file: the bytes it
// read, each item's parts where they stand, and where the scan ended.
#pragma once

#include "platform/codepage_chars.h"
#include "platform/file.h"

#include <cstddef>
#include <cstdint>

namespace ril::text {

// The places of one item's parts, as character indices of the file's flavour (bytes, or
// UTF-16 units from the file's first byte).
struct ParsedItem {
    std::size_t keyword;      // "RilStringID="
    std::size_t idStart;      // the character after it
    std::size_t macroKeyword; // "RilStringMacro="
    std::size_t macroStart;
    std::size_t macroEnd; // where the macro copy stopped
    bool macroCut;        // more characters followed the 127 taken
    std::size_t textStart;
    std::size_t textEnd; // the closing brace
    std::uint32_t id;    // the ID the item got
};

// The file as the parser reads it: its bytes followed by zero padding.
struct ParsedFile {
    unsigned char const *bytes;
    std::size_t size; // without the padding
    bool wide;
    platform::CharTable const &chars; // multibyte files: the ANSI code page's characters
};

class TxtParseObserver {
  public:
    // The file was read, before the parser looks at it; false stops the load (a failure
    // the observer has reported).
    virtual bool Read(unsigned char const *bytes, std::size_t size) = 0;
    // An item was read whole (before it joins the list).
    virtual void Item(ParsedFile const &file, ParsedItem const &item) = 0;
    // The scan ended at `position` (the character after the last item), `ok` when the load
    // succeeded; the observer may keep the file's bytes.
    virtual void Ended(ParsedFile const &file, std::size_t position, bool ok,
                       platform::FileView &view) = 0;
    // Whether the observer reports a cut macro itself (the parser's warning is left out).
    virtual bool ReportsCutMacros() const = 0;

  protected:
    ~TxtParseObserver() = default;
};

} // namespace ril::text
