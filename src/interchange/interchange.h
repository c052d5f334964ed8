// The translators' round trip: a table out to a POT, PO or XLIFF file, and a PO or XLIFF file
// back into a table. Tables are read through the library's exports and written through its
// import (Ril_WriteBinFromItems); the library's settings in force apply (the ANSI code page,
// the holder text, the stamp time, the write options).
#pragma once

#include "interchange/interchange_error.h"

#include <optional>
#include <string>

namespace ril::interchange {

enum class Format { kPot, kPo, kXliff };

// The format named "pot", "po" or "xliff"; none for another name.
std::optional<Format> FormatNamed(std::string const &name);

struct ExportRequest {
    Format format = Format::kPo;
    std::string base;      // the base table
    bool baseWide = false; // its flavour
    std::string language;  // the translated table (PO and XLIFF); empty for a POT
    bool languageWide = false;
    std::string output;
};

struct ImportRequest {
    Format format = Format::kPo;
    std::string input;
    std::string base; // empty: IDs and macros from the file itself
    bool baseWide = false;
    bool useFuzzy = false;
    bool wide = false; // the flavour of the table written
    std::string output;
};

// Writes the file, dated SOURCE_DATE_EPOCH when it is set, else now; throws Error, with
// nothing written.
void Export(ExportRequest const &request);
// Writes the table; throws Error, with nothing written, and returns the library's result of
// the write (0 when written; the library's notices say why not).
long Import(ImportRequest const &request);

// The language that a table's file name gives, as Ril_OpenTableForLanguages names files
// ("app.fr_CA.bin" gives "fr_CA"); empty when the name has none.
std::string LanguageOfFileName(std::string const &path);

} // namespace ril::interchange
