// The PO and XLIFF writers and readers: units out to a file, units back from one.
#pragma once

#include "interchange/unit.h"

#include <string>

namespace ril::interchange {

// What a written file says about itself besides its units.
struct FileFacts {
    std::string project;        // the base table's name, for Project-Id-Version and original
    std::string sourceLanguage; // empty when not known
    std::string targetLanguage; // empty when not known (and for a template)
    std::string generator;      // "ril4410 0.1.0"
    long long stamp = 0;        // creation time, seconds since 1970 (UTC)
    bool templateOnly = false;  // a POT: no translations, no target language
};

// Writes a PO file (a POT with facts.templateOnly) through libgettextpo, replacing `path` only
// once the whole file is written. Throws Error.
void WritePo(Units const &units, FileFacts const &facts, std::string const &path);
// Reads a UTF-8 PO file through libgettextpo: every message but the header and obsolete ones,
// its macro from msgctxt and its ID from the extracted comment "ID N" (if any), line
// breaks CR LF when the extracted comments say so.
// Throws Error at the first fault (a syntax error, another charset, plural forms).
Units ReadPo(std::string const &path);

// The same for XLIFF 1.2 through pugixml.
void WriteXliff(Units const &units, FileFacts const &facts, std::string const &path);
Units ReadXliff(std::string const &path);

// Reads units from a buffer (for the fuzzers): the same as the readers above, `name` naming
// the buffer in messages.
Units ReadXliffBuffer(std::string const &bytes, std::string const &name);

// The comment lines that carry an item's ID and its placeholders in PO.
inline constexpr char kIdComment[] = "ID ";
inline constexpr char kFormatComment[] = "ril4410-format: ";
inline constexpr char kCrlfComment[] = "ril4410-line-breaks: CRLF";

} // namespace ril::interchange
