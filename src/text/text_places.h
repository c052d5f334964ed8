// Lines and columns of byte offsets in a text resource file, for the places of notices.
#pragma once

#include "core/notice.h"
#include "platform/file.h"

#include <cstddef>
#include <vector>

namespace ril::text {

// A text file's line index, built when a place is first asked for. Lines end at LF (so CR LF
// is one end). Columns count characters: UTF-16 units in a wide file (a surrogate pair is
// one), characters of the ANSI code page in force in a multibyte file. A byte-order mark
// (FF FE in a wide file, EF BB BF in a multibyte file read as UTF-8) takes no column.
class TextPlaces final : public core::PlaceFinder {
  public:
    // Over the file at `path`, read when a place is first asked for; its flavour is the one the
    // parser gives it (`wide`, or the byte-order mark FF FE).
    TextPlaces(char const *path, int wide) : path_(path), wideAsked_(wide != 0) {}
    // Over `size` bytes that outlive the object, in the flavour given.
    TextPlaces(unsigned char const *bytes, std::size_t size, bool wide)
        : bytes_(bytes), size_(size), wide_(wide), read_(true) {}
    // Takes the file's bytes (in the flavour given) instead of reading them again.
    void Adopt(platform::FileView view, bool wide);
    TextPlaces(TextPlaces const &) = delete;
    TextPlaces &operator=(TextPlaces const &) = delete;

    Place At(long long offset) const override;
    // The line of a character index of the flavour (bytes or UTF-16 units); 0 when unknown.
    long long LineOfIndex(std::size_t index) const;

  private:
    bool Ready() const;
    std::size_t LineBreaks(std::size_t from, std::size_t to) const;
    long long Characters(std::size_t from, std::size_t to) const;
    std::uint16_t Unit(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }

    char const *path_ = nullptr;
    bool wideAsked_ = false;
    mutable platform::FileView view_;
    mutable unsigned char const *bytes_ = nullptr;
    mutable std::size_t size_ = 0;
    mutable bool wide_ = false;
    mutable bool read_ = false;
    // Line ends are counted in blocks of this many bytes from the first line's start, as far
    // as a place has been asked for; the index stays small whatever the number of lines.
    static constexpr std::size_t kBlockSize = 4096;
    mutable std::size_t first_ = 0;                // the first line's start
    mutable std::vector<std::size_t> blockBreaks_; // line ends before each block; empty until asked
};

} // namespace ril::text
