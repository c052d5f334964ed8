// The lines of a PO file's "msgctxt" keywords, so that a message can be named by its place:
// libgettextpo keeps no position of the messages it reads.
#pragma once

#include "interchange/interchange_error.h"

#include <map>
#include <string>

namespace ril::interchange {

class PoPlaces {
  public:
    // Reads the file's lines; a file that cannot be read gives no places.
    explicit PoPlaces(std::string const &path);
    // The place of the msgstr of the message whose context is `context` (column 1), else
    // the file alone.
    Place Find(std::string const &path, std::string const &context) const;

  private:
    std::map<std::string, std::size_t> lines_; // the quoted context → its msgstr's line
};

} // namespace ril::interchange
