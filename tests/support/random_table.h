// Random string tables for the round-trip test and the benchmarks: a seeded generator that
// gives the same sequence on every platform, and the text resource file layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ril::test {

// SplitMix64: small and the same everywhere (the standard distributions are not).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return low + Below(high - low + 1);
    }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

// One item of a text resource file; the text as code units (bytes for MBCS, UTF-16 for WCS).
struct TableItem {
    std::string id; // a number, or -1 for a new ID
    std::string macro;
    std::u16string text;
};

// The exporter's layout: banner, type and date lines, then one block per item.
std::u16string TableBanner(bool wide);
std::u16string TableBlock(TableItem const &item);
std::u16string TableBlocks(std::vector<TableItem> const &items);
// Code units as file bytes: one byte each, or UTF-16LE; and bytes as units, one each.
std::string EncodeUnits(std::u16string const &units, bool wide);
std::u16string Units(std::string const &bytes);

// A WCS table without characters, else an MBCS one whose texts draw on the characters (as
// bytes) of its code page; items ascending by ID or shuffled.
struct Table {
    bool wide = false;
    bool byteOrderMark = false;   // WCS only: the file starts with FF FE
    int wideFlag = 0;             // what an import is told; the byte-order mark overrides it
    std::vector<TableItem> items; // in the order of the text file
};
Table RandomTable(Random &random, std::vector<std::string> const *characters,
                  std::uint32_t minItems, std::uint32_t maxItems, std::uint32_t maxPieces);
// The byte-order mark, banner and blocks as code units.
std::u16string TableFile(Table const &table);

} // namespace ril::test
