// Conversions through the library's Ril_MbcsToWcs and Ril_WcsToMbcs: a text converts when the
// conversion back gives the same units, so a lossy conversion is never taken for a text.
#include "interchange/text_codec.h"

#include "Ril4410.h"

#include <cstring>
#include <vector>

namespace ril::interchange {
namespace {

constexpr unsigned kUtf8 = 65001;

using Units = std::vector<RIL_WCHAR>;

// Zero-terminated multibyte text to UTF-16 units (without terminator); none when a zero byte
// hides part of it or the library cannot convert it.
std::optional<Units> ToUnits(std::string_view text, unsigned codePage) {
    if (text.empty())
        return Units{};
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string const terminated(text);
    int const size = Ril_MbcsToWcs(terminated.c_str(), nullptr, codePage);
    if (size <= 0)
        return std::nullopt;
    Units units(static_cast<std::size_t>(size));
    if (Ril_MbcsToWcs(terminated.c_str(), units.data(), codePage) != size)
        return std::nullopt;
    units.resize(static_cast<std::size_t>(size - 1));
    return units;
}

std::optional<std::string> FromUnits(Units units, unsigned codePage) {
    if (units.empty())
        return std::string();
    for (RIL_WCHAR const unit : units)
        if (unit == 0)
            return std::nullopt;
    units.push_back(0);
    int const size = Ril_WcsToMbcs(units.data(), nullptr, codePage);
    if (size <= 0)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (Ril_WcsToMbcs(units.data(), text.data(), codePage) != size)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}

// Converts `text` from one encoding to the other and checks that the way back restores it.
std::optional<std::string> Exact(std::string_view text, unsigned from, unsigned to) {
    std::optional<Units> units = ToUnits(text, from);
    if (!units)
        return std::nullopt;
    std::optional<std::string> converted = FromUnits(*units, to);
    if (!converted)
        return std::nullopt;
    std::optional<Units> back = ToUnits(*converted, to);
    if (!back || *back != *units)
        return std::nullopt;
    std::optional<std::string> again = FromUnits(*back, from);
    if (!again || *again != text)
        return std::nullopt;
    return converted;
}

Units WideUnits(std::string_view bytes) {
    Units units(bytes.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<RIL_WCHAR>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return units;
}

} // namespace

std::optional<std::string> TextToUtf8(std::string_view bytes, bool wide) {
    if (!wide)
        return Exact(bytes, Ril_GetAnsiCodePage(), kUtf8);
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    Units const units = WideUnits(bytes);
    std::optional<std::string> utf8 = FromUnits(units, kUtf8);
    if (!utf8 || ToUnits(*utf8, kUtf8) != units)
        return std::nullopt;
    return utf8;
}

std::optional<std::string> Utf8ToText(std::string_view utf8, bool wide) {
    if (!wide)
        return Exact(utf8, kUtf8, Ril_GetAnsiCodePage());
    std::optional<Units> units = ToUnits(utf8, kUtf8);
    if (!units || FromUnits(*units, kUtf8) != std::string(utf8))
        return std::nullopt;
    std::string bytes(units->size() * 2, '\0');
    for (std::size_t i = 0; i < units->size(); ++i) {
        bytes[2 * i] = static_cast<char>((*units)[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((*units)[i] >> 8);
    }
    return bytes;
}

std::optional<std::string> MacroToUtf8(std::string_view bytes) {
    return Exact(bytes, Ril_GetAnsiCodePage(), kUtf8);
}

std::optional<std::string> Utf8ToMacro(std::string_view utf8) {
    return Exact(utf8, kUtf8, Ril_GetAnsiCodePage());
}

bool IsUtf8(std::string_view text) {
    return Utf8ToText(text, true).has_value();
}

} // namespace ril::interchange
