// JSON output on nlohmann-json: strings, and objects built member by member on one line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rilcli {

// `text` (UTF-8) as a JSON string with its quotes: '"', '\' and the C0 controls escaped, and
// every byte that does not belong to a well-formed UTF-8 sequence replaced by U+FFFD.
std::string JsonString(std::string_view text);

// One JSON object, written as "{"a": 1, "b": "x"}" on one line.
class JsonObject {
  public:
    JsonObject &Add(std::string_view name, std::string_view text);
    JsonObject &Add(std::string_view name, char const *text) {
        return Add(name, std::string_view(text));
    }
    JsonObject &Add(std::string_view name, std::int64_t number);
    // A member whose value is JSON already (an array, an object, null).
    JsonObject &AddRaw(std::string_view name, std::string_view json);
    std::string Close() const { return text_ + "}"; }

  private:
    std::string text_ = "{";
};

} // namespace rilcli
