// The IDs of the items a writer refuses, gathered for the one message that names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ril::items {

class RefusedItems {
  public:
    void Add(std::uint32_t id) {
        any_ = true;
        if (list_.size() >= kListLimit) {
            if (!cut_)
                list_ += ", ...";
            cut_ = true;
            return;
        }
        if (!list_.empty())
            list_ += ", ";
        list_ += std::to_string(id);
    }
    bool Any() const { return any_; }
    // "1001, 1005, ...": the IDs in the order added, cut after about 500 characters so that
    // the message (at most 1023 bytes) keeps its path.
    char const *List() const { return list_.c_str(); }

  private:
    static constexpr std::size_t kListLimit = 500;
    std::string list_;
    bool any_ = false;
    bool cut_ = false;
};

} // namespace ril::items
