// Random string tables: the generator, IDs, macros and the text file layout.
#include "support/random_table.h"

#include <algorithm>
#include <set>
#include <utility>

namespace ril::test {

std::uint64_t Random::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {
constexpr std::uint32_t kFirstNewId = 196607; // this ID and above ask for a new one

// `count` distinct IDs below kFirstNewId, ascending: a dense run with small gaps, spread over
// the whole range (now and then with the largest ID a text file can set), or clustered
// around 1000, where the importer starts counting gaps.
std::vector<std::uint32_t> RandomIds(Random &random, std::uint32_t count) {
    std::set<std::uint32_t> ids;
    const std::uint32_t kind = random.Below(3);
    std::uint32_t id =
        kind == 0 && !random.Chance(10) ? random.Below(kFirstNewId - count * 4 - 1) : 0;
    if (kind == 1 && random.Chance(20))
        ids.insert(kFirstNewId - 1);
    while (ids.size() < count) {
        if (kind == 0) {
            ids.insert(id);
            id += random.Chance(80) ? 1 : random.Between(2, 4);
        } else {
            ids.insert(kind == 1 ? random.Below(kFirstNewId)
                                 : random.Between(900, std::min(900 + count * 3, kFirstNewId - 1)));
        }
    }
    return std::vector<std::uint32_t>(ids.begin(), ids.end());
}

// Mostly short macros, some long, and now and then the longest that a macro field holds.
std::string RandomMacro(Random &random) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    const std::uint32_t kind = random.Below(100);
    std::string macro(kind < 70   ? random.Between(1, 12)
                      : kind < 95 ? random.Between(13, 126)
                                  : 127,
                      ' ');
    for (char &c : macro)
        c = kAlphabet[random.Below(sizeof kAlphabet - 1)];
    return macro;
}

template <typename T> void Shuffle(std::vector<T> &items, Random &random) {
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[random.Below(static_cast<std::uint32_t>(i))]);
}
} // namespace

std::u16string TableBanner(bool wide) {
    return Units(std::string("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n") +
                 "//Maker: a random table\r\n//Author: ril4410 tests\r\n\r\n" +
                 (wide ? "//Type = WCS\r\n" : "//Type = MBCS\r\n") +
                 "//ExportDate: 2024-3-7 9:5'2\"\r\n\r\n\r\n");
}

std::u16string TableBlock(TableItem const &item) {
    return Units("RilStringID=" + item.id + ";RilStringMacro=" + item.macro + "\r\n" +
                 std::string(77, '/') + "\r\n{") +
           item.text + u"}\r\n\r\n";
}

std::u16string TableBlocks(std::vector<TableItem> const &items) {
    std::u16string blocks;
    for (TableItem const &item : items)
        blocks += TableBlock(item);
    return blocks;
}

std::u16string TableFile(Table const &table) {
    return (table.byteOrderMark ? u"\uFEFF" : u"") + TableBanner(table.wide) +
           TableBlocks(table.items);
}

std::string EncodeUnits(std::u16string const &units, bool wide) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        if (wide)
            bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Units(std::string const &bytes) {
    std::u16string units;
    for (unsigned char byte : bytes)
        units.push_back(byte);
    return units;
}

namespace {
// A text of pieces: printable ASCII without braces, tabs and line breaks, and the two
// keywords (plain text inside braces); then, in a wide table, a CJK character, any other BMP
// character but zero, a brace or a surrogate, or a surrogate pair; else one of the characters.
std::u16string RandomText(Random &random, std::vector<std::string> const *characters,
                          std::uint32_t maxPieces) {
    std::u16string text;
    if (random.Chance(12))
        return text; // an empty pair of braces
    for (std::uint32_t i = random.Between(1, maxPieces); i > 0; --i) {
        const std::uint32_t kind = random.Below(100);
        char16_t c = 0;
        if (!random.Chance(55)) {
            if (characters != nullptr) {
                for (char byte : (*characters)[random.Below(std::uint32_t(characters->size()))])
                    text += static_cast<char16_t>(static_cast<std::uint8_t>(byte));
            } else if (kind < 33) {
                text += static_cast<char16_t>(random.Between(0x4E00, 0x9FFF));
            } else if (kind < 66) {
                while (c < 0x80 || (c >= 0xD800 && c <= 0xDFFF))
                    c = static_cast<char16_t>(random.Between(0x80, 0xFFFF));
                text += c;
            } else {
                const std::uint32_t scalar = random.Between(0x10000, 0x10FFFF) - 0x10000;
                text += {static_cast<char16_t>(0xD800 + (scalar >> 10)),
                         static_cast<char16_t>(0xDC00 + (scalar & 0x3FF))};
            }
        } else if (kind < 8) {
            text += u"\r\n";
        } else if (kind < 11) {
            text += random.Chance(50) ? u'\r' : u'\n';
        } else if (kind < 16) {
            text += u'\t';
        } else if (kind < 17) {
            text += random.Chance(50) ? u"RilStringID=5;" : u"RilStringMacro=X";
        } else {
            while (c < 0x20 || c == u'{' || c == u'}')
                c = static_cast<char16_t>(random.Between(0x20, 0x7E));
            text += c;
        }
    }
    return text;
}
} // namespace

Table RandomTable(Random &random, std::vector<std::string> const *characters,
                  std::uint32_t minItems, std::uint32_t maxItems, std::uint32_t maxPieces) {
    Table table;
    table.wide = characters == nullptr;
    table.byteOrderMark = table.wide && random.Chance(85);
    table.wideFlag = table.wide && (!table.byteOrderMark || random.Chance(50)) ? 1 : 0;
    std::set<std::string> macros;
    for (std::uint32_t id : RandomIds(random, random.Between(minItems, maxItems))) {
        std::string macro;
        do {
            macro = RandomMacro(random);
        } while (!macros.insert(macro).second);
        table.items.push_back(
            {std::to_string(id), macro, RandomText(random, characters, maxPieces)});
    }
    if (random.Chance(50)) // file order other than ascending: validation sorts by ID
        Shuffle(table.items, random);
    return table;
}

} // namespace ril::test
