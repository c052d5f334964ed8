// JSON values through nlohmann-json; the tool's one-line layout of an object.
#include "json_writer.h"

#include <nlohmann/json.hpp>

namespace rilcli {

std::string JsonString(std::string_view text) {
    return nlohmann::json(std::string(text))
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

JsonObject &JsonObject::Add(std::string_view name, std::string_view text) {
    return AddRaw(name, JsonString(text));
}

JsonObject &JsonObject::Add(std::string_view name, std::int64_t number) {
    return AddRaw(name, nlohmann::json(number).dump());
}

JsonObject &JsonObject::AddRaw(std::string_view name, std::string_view json) {
    text_ += (text_.size() > 1 ? ", " : "") + JsonString(name) + ": ";
    text_ += json;
    return *this;
}

} // namespace rilcli
