// The lines of a PO file's "msgctxt" keywords, so that a message can be named by its place:
// libgettextpo keeps no position of the messages it reads.
#pragma once

#include "interchange/interchange_error.h"

#include <map>
#include <string>

namespace ril::interchange {

class PoPlaces {
  public:
    // The places in the file's bytes; `path` names the file.
    PoPlaces(std::string const &bytes, std::string path);
    // The place of the msgstr of the message whose context is `context` (column 1), else
    // the file alone.
    Place Find(std::string const &context) const;

  private:
    std::string path_;
    std::map<std::string, std::size_t> lines_; // the quoted context → its msgstr's line
};

} // namespace ril::interchange
