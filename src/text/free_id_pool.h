// The numbers left free between the IDs of a text file, first in first out. Gaps are kept
// as ranges, so a gap of two thousand million numbers costs one entry.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace ril::text {

class FreeIdPool {
  public:
    // Appends `count` numbers starting at `first` (32-bit wrap-around arithmetic).
    void Append(std::uint32_t first, std::uint32_t count) {
        if (count > 0)
            ranges_.push_back(Range{first, count});
    }
    // Takes the first number, if any.
    std::optional<std::uint32_t> Take() {
        if (ranges_.empty())
            return std::nullopt;
        Range &front = ranges_.front();
        std::uint32_t number = front.first++;
        if (--front.count == 0)
            ranges_.pop_front();
        return number;
    }

  private:
    struct Range {
        std::uint32_t first;
        std::uint32_t count;
    };
    std::deque<Range> ranges_;
};

} // namespace ril::text
