// JSON output on nlohmann-json in the tool's layout: an object on one line.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace rilcli {

using Json = nlohmann::ordered_json;

// `value` on one line, an object as {"a": 1, "b": "x"}; strings with '"', '\' and the C0
// controls escaped, and every byte that does not belong to a well-formed UTF-8 sequence
// replaced by U+FFFD.
std::string JsonLine(Json const &value);

} // namespace rilcli
