// A unit of translation as PO and XLIFF carry it: one item of the base table with the
// translation of its text, all texts in UTF-8.
#pragma once

#include "interchange/interchange_error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ril::interchange {

// An item of a table: its ID, its macro and its text in UTF-8.
struct Entry {
    std::uint32_t id = 0;
    std::string macro;
    std::string text;
};

struct Unit {
    std::uint32_t id = 0;
    bool identified = false; // the ID was given (a file's unit may carry none)
    std::string macro;       // the context that keeps units with the same base text apart
    std::string source;      // the base text
    std::string target;      // the translation; empty when there is none
    bool translated = false;
    bool fuzzy = false; // a translation that still waits for review
    Place place;        // where the unit was read, for messages
};

using Entries = std::vector<Entry>;
using Units = std::vector<Unit>;

} // namespace ril::interchange
