// Conversions built on the platform's two primitives, the same on every platform.
#include "platform/codepage.h"

#include <vector>

namespace ril::platform {

std::string AnsiToUtf8(char const *text) {
    Conversion size = MultiByteToWide(0, text, -1, nullptr, 0);
    if (size.count == 0)
        return std::string(text != nullptr ? text : "");
    std::vector<std::uint16_t> wide(static_cast<std::size_t>(size.count));
    if (MultiByteToWide(0, text, -1, wide.data(), size.count).count == 0)
        return std::string(text);
    Conversion bytes = WideToMultiByte(65001, wide.data(), -1, nullptr, 0);
    std::string utf8(static_cast<std::size_t>(bytes.count), '\0');
    if (bytes.count == 0 ||
        WideToMultiByte(65001, wide.data(), -1, utf8.data(), bytes.count).count == 0)
        return std::string(text);
    utf8.pop_back(); // the converted terminator
    return utf8;
}

} // namespace ril::platform
