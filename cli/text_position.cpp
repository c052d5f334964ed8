// The line index of a text file and the character counts behind its columns.
#include "text_position.h"

#include "Ril4410.h"
#include "code_page.h"

#include <algorithm>
#include <cstddef>

namespace rilcli {
namespace {

constexpr std::uint16_t kLineFeed = 0x0A;

std::uint16_t UnitAt(std::vector<std::uint8_t> const &bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// Characters of a zero-free multibyte run: its UTF-16 units less the second unit of each
// surrogate pair.
std::uint64_t CountRun(std::string const &run) {
    if (run.empty())
        return 0;
    int const size = Ril_MbcsToWcs(run.c_str(), nullptr, 0);
    if (size <= 1)
        return run.size();
    std::vector<RIL_WCHAR> units(static_cast<std::size_t>(size));
    if (Ril_MbcsToWcs(run.c_str(), units.data(), 0) <= 0)
        return run.size();
    std::uint64_t count = 0;
    for (std::size_t i = 0; i + 1 < units.size(); ++i)
        if (!(IsLowSurrogate(units[i]) && i > 0 && IsHighSurrogate(units[i - 1])))
            ++count;
    return count;
}

bool StartsWithUtf8Mark(std::vector<std::uint8_t> const &bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

} // namespace

std::uint64_t CountMultibyteCharacters(std::string const &bytes) {
    std::uint64_t count = 0;
    std::size_t start = 0;
    for (std::size_t zero; (zero = bytes.find('\0', start)) != std::string::npos; start = zero + 1)
        count += CountRun(bytes.substr(start, zero - start)) + 1;
    return count + CountRun(bytes.substr(start));
}

TextPositions::TextPositions(std::vector<std::uint8_t> bytes, bool wide)
    : bytes_(std::move(bytes)), wide_(wide) {
    std::size_t first = 0;
    if (wide_ && bytes_.size() >= 2 && bytes_[0] == 0xFF && bytes_[1] == 0xFE)
        first = 2;
    else if (!wide_ && StartsWithUtf8Mark(bytes_) && ChosenCodePage() == kUtf8CodePage)
        first = 3;
    lineStarts_.push_back(first);
    std::size_t const step = wide_ ? 2 : 1;
    for (std::size_t at = first; at + step <= bytes_.size(); at += step) {
        std::uint16_t const unit = wide_ ? UnitAt(bytes_, at) : bytes_[at];
        if (unit == kLineFeed)
            lineStarts_.push_back(at + step);
    }
}

TextPlace TextPositions::At(std::uint64_t offset) const {
    std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    if (wide_)
        at -= at % 2;
    auto const next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), at);
    if (next == lineStarts_.begin()) // inside the byte-order mark
        return TextPlace{};
    std::size_t const line = static_cast<std::size_t>(next - lineStarts_.begin());
    return TextPlace{line, Characters(lineStarts_[line - 1], at) + 1};
}

std::uint64_t TextPositions::Characters(std::size_t from, std::size_t to) const {
    if (!wide_)
        return CountMultibyteCharacters(
            std::string(bytes_.begin() + static_cast<std::ptrdiff_t>(from),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(to)));
    std::uint64_t count = 0;
    for (std::size_t at = from; at + 2 <= to; at += 2) {
        bool const pairEnd = at >= from + 2 && IsLowSurrogate(UnitAt(bytes_, at)) &&
                             IsHighSurrogate(UnitAt(bytes_, at - 2));
        count += pairEnd ? 0 : 1;
    }
    return count;
}

} // namespace rilcli
