// A small JSON writer: string escaping and objects built member by member.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rilcli {

// `text` (UTF-8) as a JSON string with its quotes: '"', '\' and the C0 controls escaped
// (\n, \r, \t, \b, \f or \u00XX), DEL as \u007F, and every byte that does not belong to a
// well-formed UTF-8 sequence as \uFFFD.
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
    void Name(std::string_view name);
    std::string text_ = "{";
};

} // namespace rilcli
