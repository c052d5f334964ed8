// The one error the interchange formats report: a message already in the tool's GNU form
// ("FILE:LINE:COL: error: TEXT", or "FILE: error: TEXT" without a place).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace ril::interchange {

// Where an entry stands in the file it was read from; line 0 when unknown.
struct Place {
    std::string file;
    std::size_t line = 0;
    std::size_t column = 0;
};

class Error : public std::runtime_error {
  public:
    Error(Place const &place, std::string const &text) : std::runtime_error(Format(place, text)) {}

  private:
    static std::string Format(Place const &place, std::string const &text) {
        std::string where = place.file;
        if (place.line > 0)
            where += ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
        return where + ": error: " + text;
    }
};

} // namespace ril::interchange
