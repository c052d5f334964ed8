// Lines and columns of places in a text resource file, from byte offsets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rilcli {

// A 1-based line and column.
struct TextPlace {
    std::uint64_t line = 1;
    std::uint64_t column = 1;
};

// A text file's line index. Lines end at LF (so CR LF is one end). Columns count characters:
// in a wide (UTF-16LE) file units, a surrogate pair being one; in a multibyte file the
// characters of the code page in force, a double-byte character being one. A byte-order
// mark (FF FE in a wide file, EF BB BF in a multibyte file read as UTF-8) takes no column.
class TextPositions {
  public:
    TextPositions(std::vector<std::uint8_t> bytes, bool wide);

    // The place of the byte offset `offset` (from the file's first byte, a byte-order mark
    // included); offsets beyond the end are taken as the end.
    TextPlace At(std::uint64_t offset) const;

    std::vector<std::uint8_t> const &Bytes() const { return bytes_; }
    bool Wide() const { return wide_; }

  private:
    std::uint64_t Characters(std::size_t from, std::size_t to) const;

    std::vector<std::uint8_t> bytes_;
    bool wide_;
    std::vector<std::size_t> lineStarts_;
};

// The number of characters that the multibyte `bytes` make in the code page in force,
// zero bytes included.
std::uint64_t CountMultibyteCharacters(std::string const &bytes);

} // namespace rilcli
