// JSON values through nlohmann-json; the tool's one-line layout of an object.
#include "json_writer.h"

namespace rilcli {

std::string JsonLine(Json const &value) {
    if (!value.is_object() || value.empty())
        return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string line;
    for (auto const &member : value.items())
        line +=
            (line.empty() ? "{" : ", ") + JsonLine(member.key()) + ": " + JsonLine(member.value());
    return line + "}";
}

} // namespace rilcli
