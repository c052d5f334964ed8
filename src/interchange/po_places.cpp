// Only lines that start with "msgctxt \"" and "msgstr" are looked at: a context is matched as
// written between its quotes (macros need no escapes), and takes the next msgstr line.
#include "interchange/po_places.h"

#include <sstream>

namespace ril::interchange {

PoPlaces::PoPlaces(std::string const &bytes, std::string path) : path_(std::move(path)) {
    std::istringstream file(bytes);
    std::string line, pending;
    constexpr std::string_view kContext = "msgctxt \"";
    for (std::size_t number = 1; std::getline(file, line); ++number) {
        if (line.starts_with(kContext) && line.ends_with("\"")) {
            pending = line.substr(kContext.size(), line.size() - kContext.size() - 1);
        } else if (line.starts_with("msgstr") && !pending.empty()) {
            lines_.emplace(pending, number);
            pending.clear();
        }
    }
}

Place PoPlaces::Find(std::string const &context) const {
    auto const found = lines_.find(context);
    return found == lines_.end() ? Place{path_} : Place{path_, found->second, 1};
}

} // namespace ril::interchange
