// A string table read whole from a text resource file or a BIN, for the tools that compare
// or rewrite tables: its items, the flavour of its texts and the places of its items.
#pragma once

#include "items/ril_txt_loader.h"
#include "platform/codepage.h"
#include "text/text_places.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace ril::tools {

// Once switched, code page 0 stands for UTF-8 in the calling thread until the switch ends.
class Utf8CodePage {
  public:
    void Switch();
    // Ends the switch now.
    void Restore() { scope_.reset(); }

  private:
    std::optional<platform::ThreadAnsiCodePage> scope_;
};

struct TableFile {
    items::CRilTxtLoader items; // in file order (a BIN's entries in the order it holds them)
    bool wide = false;          // texts are UTF-16LE
    bool text = false;          // read from a text resource file
    bool utf8Mark = false;      // a multibyte text file that starts with EF BB BF
    std::unique_ptr<text::TextPlaces> places; // a text file's lines and columns
    Utf8CodePage codePage; // UTF-8 for a file read by its signature, while the table lives
};

// How a table file is read.
struct TableRead {
    int wide = 0;               // a text file without FF FE is UTF-16LE
    bool utf8Signature = false; // a multibyte text file starting EF BB BF is read as UTF-8
    bool textOnly = false;      // no BIN is taken
};

// Reads `path` into `table`: a BIN when the BIN probe takes its bytes (its flavour is the one
// its records show), else a text resource file through the parser. False after the notices
// that say why it cannot be read.
bool ReadTableFile(char const *path, TableRead const &how, TableFile &table);

// The text of an item's record in the table's flavour: bytes, or UTF-16LE units.
std::span<std::uint8_t const> ItemText(items::RilStrRes const &item, bool wide);

} // namespace ril::tools
