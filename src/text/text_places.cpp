// The line index of a text file and the character counts behind its columns.
#include "text/text_places.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace ril::text {
namespace {

constexpr unsigned kUtf8CodePage = 65001;

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-16 units less the second unit of each surrogate pair.
long long CountCharacters(std::uint16_t const *units, std::size_t count) {
    long long characters = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (!(i > 0 && IsLowSurrogate(units[i]) && IsHighSurrogate(units[i - 1])))
            ++characters;
    return characters;
}

} // namespace

void TextPlaces::Adopt(platform::FileView view, bool wide) {
    view_ = std::move(view);
    bytes_ = view_.Data();
    size_ = view_.Size();
    wide_ = wide;
    read_ = true;
    blockBreaks_.clear();
}

bool TextPlaces::Ready() const {
    if (!read_) {
        read_ = true;
        if (path_ == nullptr ||
            platform::ViewWholeFile(path_, 2, view_) != platform::ReadStatus::Ok)
            return false;
        bytes_ = view_.Data();
        size_ = view_.Size();
        wide_ = wideAsked_ || (size_ >= 2 && bytes_[0] == 0xFF && bytes_[1] == 0xFE);
    }
    if (bytes_ == nullptr)
        return false;
    if (blockBreaks_.empty()) {
        first_ = 0;
        if (wide_ && size_ >= 2 && bytes_[0] == 0xFF && bytes_[1] == 0xFE)
            first_ = 2;
        else if (!wide_ && size_ >= 3 && std::memcmp(bytes_, "\xEF\xBB\xBF", 3) == 0 &&
                 platform::AnsiCodePage() == kUtf8CodePage)
            first_ = 3;
        blockBreaks_.push_back(0);
    }
    return true;
}

// Line ends in [from, to) (both at or after the first line's start, in a wide file at unit
// boundaries): LF bytes, or in a wide file LF units.
std::size_t TextPlaces::LineBreaks(std::size_t from, std::size_t to) const {
    std::size_t breaks = 0;
    if (wide_) {
        for (std::size_t at = from; at + 2 <= to; at += 2)
            breaks += Unit(at) == '\n';
        return breaks;
    }
    return static_cast<std::size_t>(std::count(bytes_ + from, bytes_ + to, '\n'));
}

core::PlaceFinder::Place TextPlaces::At(long long offset) const {
    if (offset < 0 || !Ready())
        return Place{};
    std::size_t at = std::min(static_cast<std::size_t>(offset), size_);
    if (wide_)
        at -= at % 2;
    if (at < first_) // inside the byte-order mark
        return Place{1, 1};
    // The line ends before the block holding `at` are counted once, block by block.
    std::size_t const block = (at - first_) / kBlockSize;
    while (blockBreaks_.size() <= block) {
        std::size_t const start = first_ + (blockBreaks_.size() - 1) * kBlockSize;
        blockBreaks_.push_back(blockBreaks_.back() + LineBreaks(start, start + kBlockSize));
    }
    std::size_t const blockStart = first_ + block * kBlockSize;
    auto const line = 1 + blockBreaks_[block] + LineBreaks(blockStart, at);
    std::size_t const unit = wide_ ? 2 : 1;
    std::size_t lineStart = at;
    while (lineStart > first_ && (wide_ ? Unit(lineStart - 2) : bytes_[lineStart - 1]) != '\n')
        lineStart -= unit;
    return Place{static_cast<long long>(line), Characters(lineStart, at) + 1};
}

long long TextPlaces::LineOfIndex(std::size_t index) const {
    if (!Ready())
        return 0;
    return At(static_cast<long long>(index * (wide_ ? 2 : 1))).line;
}

long long TextPlaces::Characters(std::size_t from, std::size_t to) const {
    if (to <= from)
        return 0;
    std::vector<std::uint16_t> units;
    if (wide_) {
        for (std::size_t at = from; at + 2 <= to; at += 2)
            units.push_back(Unit(at));
        return CountCharacters(units.data(), units.size());
    }
    auto const length = static_cast<int>(to - from);
    char const *source = reinterpret_cast<char const *>(bytes_ + from);
    platform::Conversion const size = platform::MultiByteToWide(0, source, length, nullptr, 0);
    if (size.count <= 0)
        return length;
    units.resize(static_cast<std::size_t>(size.count));
    platform::Conversion const done =
        platform::MultiByteToWide(0, source, length, units.data(), size.count);
    return done.count > 0 ? CountCharacters(units.data(), static_cast<std::size_t>(done.count))
                          : length;
}

} // namespace ril::text
