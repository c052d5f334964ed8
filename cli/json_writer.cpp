// JSON string escaping with UTF-8 validation, and the one-line object builder.
#include "json_writer.h"

namespace rilcli {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendUnicodeEscape(std::string &out, unsigned value) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
}

// The length of the well-formed UTF-8 sequence at `at`, or 0 (no overlong forms,
// surrogates or values above U+10FFFF).
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    unsigned char const lead = static_cast<unsigned char>(text[at]);
    std::size_t const length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() - at < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 0;
    unsigned char const second = static_cast<unsigned char>(text[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

void AppendAscii(std::string &out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        break;
    case '\\':
        out += "\\\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\b':
        out += "\\b";
        break;
    case '\f':
        out += "\\f";
        break;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            AppendUnicodeEscape(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            AppendAscii(out, text[i++]);
            continue;
        }
        std::size_t const length = SequenceLength(text, i);
        if (length == 0) {
            AppendUnicodeEscape(out, 0xFFFD);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out + "\"";
}

void JsonObject::Name(std::string_view name) {
    if (text_.size() > 1)
        text_ += ", ";
    text_ += JsonString(name);
    text_ += ": ";
}

JsonObject &JsonObject::Add(std::string_view name, std::string_view text) {
    Name(name);
    text_ += JsonString(text);
    return *this;
}

JsonObject &JsonObject::Add(std::string_view name, std::int64_t number) {
    Name(name);
    text_ += std::to_string(number);
    return *this;
}

JsonObject &JsonObject::AddRaw(std::string_view name, std::string_view json) {
    Name(name);
    text_ += json;
    return *this;
}

} // namespace rilcli
