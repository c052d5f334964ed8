// Random string tables for the round-trip test and the benchmarks: one seeded generator (the
// same sequence on every platform), random IDs and macros, and the text resource file layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ril::test {

// SplitMix64: small, fast and the same everywhere (the standard distributions are not).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // A number from 0 to n - 1 (n > 0); the modulo bias does not matter here.
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    // A number from low to high, both included.
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return low + Below(high - low + 1);
    }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

// This ID and above ask the importer for a new one.
constexpr std::uint32_t kFirstNewId = 196607;

// `count` distinct IDs below kFirstNewId, ascending: a dense run with small gaps, spread over
// the whole range, or clustered around 1000, where the importer starts counting gaps.
std::vector<std::uint32_t> RandomIds(Random &random, std::uint32_t count);
// A macro of 1 to 127 characters from A-Z, 0-9 and '_' (mostly short, now and then 127).
std::string RandomMacro(Random &random);

// One item of a text resource file. The text is held as code units: bytes for a multibyte
// file (each below 0x100), UTF-16 units for a wide one.
struct TableItem {
    std::string id; // as written: a number, or -1 for a new ID
    std::string macro;
    std::u16string text;
};

// The exporter's layout: banner, type and date lines, then one block per item.
std::u16string TableBanner(bool wide);
std::u16string TableBlock(const TableItem &item);
std::u16string TableBlocks(const std::vector<TableItem> &items);

// Code units as file bytes: one byte each, or UTF-16LE.
std::string EncodeUnits(const std::u16string &units, bool wide);

// The characters of a multibyte code page (each as its bytes) in a shuffled order, dealt one
// after another so that each comes up once per pass; now and then a character whose trail
// byte is a brace is dealt in between.
class CharacterDeck {
  public:
    CharacterDeck(std::vector<std::string> cards, Random &random);
    // Appends the next character (or now and then a brace-trail one) as byte units.
    void Deal(Random &random, std::u16string &text);
    std::size_t Size() const { return cards_.size(); }
    std::size_t BraceTrails() const { return braceTrails_.size(); }
    // How often every character has been dealt.
    std::size_t Passes() const { return passes_; }

  private:
    std::vector<std::string> cards_;
    std::vector<std::string> braceTrails_;
    std::size_t next_ = 0;
    std::size_t passes_ = 0;
};

// A random table: a WCS one without a deck, else an MBCS one of the deck's code page. IDs,
// macros and texts are random; the items are in ascending ID order or shuffled.
struct Table {
    bool wide = false;
    bool byteOrderMark = false;   // WCS only: the file starts with FF FE
    int wideFlag = 0;             // what an import is told; the byte-order mark overrides it
    std::vector<TableItem> items; // in the order of the text file
};
Table RandomTable(Random &random, CharacterDeck *deck, std::uint32_t minItems,
                  std::uint32_t maxItems, std::uint32_t maxPieces);
// The table as its text file's code units (the byte-order mark, banner and blocks).
std::u16string TableFile(const Table &table);

} // namespace ril::test
