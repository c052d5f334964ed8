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
// the whole range, or clustered around 1000, where the importer starts counting gaps.
std::vector<std::uint32_t> RandomIds(Random &random, std::uint32_t count) {
    std::set<std::uint32_t> ids;
    std::uint32_t const kind = random.Below(3);
    if (kind == 0) {
        std::uint32_t const span = count * 4 + 1;
        std::uint32_t id = random.Chance(10) ? 0 : random.Below(kFirstNewId - span);
        while (ids.size() < count) {
            ids.insert(id);
            id += random.Chance(80) ? 1 : random.Between(2, 4);
        }
    } else {
        std::uint32_t const low = kind == 1 ? 0 : 900;
        // Clustered IDs stay below kFirstNewId too, however many there are.
        std::uint32_t const high =
            kind == 1 ? kFirstNewId - 1 : std::min(900 + count * 3, kFirstNewId - 1);
        if (kind == 1 && random.Chance(20))
            ids.insert(kFirstNewId - 1); // the largest ID that a text file can set
        while (ids.size() < count)
            ids.insert(random.Between(low, high));
    }
    return std::vector<std::uint32_t>(ids.begin(), ids.end());
}

std::string RandomMacro(Random &random) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    std::uint32_t const kind = random.Below(100);
    std::uint32_t const length = kind < 70   ? random.Between(1, 12)
                                 : kind < 95 ? random.Between(13, 126)
                                             : 127;
    std::string macro;
    for (std::uint32_t i = 0; i < length; ++i)
        macro += kAlphabet[random.Below(sizeof kAlphabet - 1)];
    return macro;
}

std::u16string Ascii(const std::string &text) {
    return std::u16string(text.begin(), text.end());
}
} // namespace

std::u16string TableBanner(bool wide) {
    return Ascii(std::string("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n") +
                 "//Maker: a random table\r\n//Author: ril4410 tests\r\n\r\n" +
                 (wide ? "//Type = WCS\r\n" : "//Type = MBCS\r\n") +
                 "//ExportDate: 2024-3-7 9:5'2\"\r\n\r\n\r\n");
}

std::u16string TableBlock(const TableItem &item) {
    return Ascii("RilStringID=" + item.id + ";RilStringMacro=" + item.macro + "\r\n" +
                 std::string(77, '/') + "\r\n{") +
           item.text + u"}\r\n\r\n";
}

std::u16string TableBlocks(const std::vector<TableItem> &items) {
    std::u16string blocks;
    for (const TableItem &item : items)
        blocks += TableBlock(item);
    return blocks;
}

std::u16string TableFile(const Table &table) {
    return (table.byteOrderMark ? u"\uFEFF" : u"") + TableBanner(table.wide) +
           TableBlocks(table.items);
}

std::string EncodeUnits(const std::u16string &units, bool wide) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        if (wide)
            bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

CharacterDeck::CharacterDeck(std::vector<std::string> cards, Random &random)
    : cards_(std::move(cards)) {
    for (const std::string &card : cards_)
        if (card.size() == 2 && (card[1] == '{' || card[1] == '}'))
            braceTrails_.push_back(card);
    for (std::size_t i = cards_.size(); i > 1; --i)
        std::swap(cards_[i - 1], cards_[random.Below(static_cast<std::uint32_t>(i))]);
}
void CharacterDeck::Deal(Random &random, std::u16string &text) {
    const std::string *card;
    if (!braceTrails_.empty() && random.Chance(15)) {
        card = &braceTrails_[random.Below(static_cast<std::uint32_t>(braceTrails_.size()))];
    } else {
        card = &cards_[next_];
        if (++next_ == cards_.size()) {
            next_ = 0;
            ++passes_;
        }
    }
    for (char byte : *card)
        text += static_cast<char16_t>(static_cast<std::uint8_t>(byte));
}

namespace {
// Text characters that every flavour holds in one unit: printable ASCII without braces,
// tabs and line breaks, and the two keywords, which inside braces are plain text.
void AppendCommonPiece(Random &random, std::u16string &text) {
    std::uint32_t const kind = random.Below(100);
    if (kind < 8) {
        text += u"\r\n";
    } else if (kind < 11) {
        text += random.Chance(50) ? u'\r' : u'\n';
    } else if (kind < 16) {
        text += u'\t';
    } else if (kind < 17) {
        text += random.Chance(50) ? u"RilStringID=5;" : u"RilStringMacro=X";
    } else {
        char16_t c;
        do {
            c = static_cast<char16_t>(random.Between(0x20, 0x7E));
        } while (c == u'{' || c == u'}');
        text += c;
    }
}

// A UTF-16 piece: a CJK character, any other BMP character but zero, a brace or a surrogate,
// or a surrogate pair.
void AppendUtf16Piece(Random &random, std::u16string &text) {
    std::uint32_t const kind = random.Below(3);
    if (kind == 0) {
        text += static_cast<char16_t>(random.Between(0x4E00, 0x9FFF));
    } else if (kind == 1) {
        char16_t c;
        do {
            c = static_cast<char16_t>(random.Between(0x80, 0xFFFF));
        } while (c >= 0xD800 && c <= 0xDFFF);
        text += c;
    } else {
        std::uint32_t const scalar = random.Between(0x10000, 0x10FFFF) - 0x10000;
        text += static_cast<char16_t>(0xD800 + (scalar >> 10));
        text += static_cast<char16_t>(0xDC00 + (scalar & 0x3FF));
    }
}

// A text of common pieces and, in a wide table, UTF-16 pieces, else characters of the deck.
std::u16string RandomText(Random &random, CharacterDeck *deck, std::uint32_t maxPieces) {
    std::u16string text;
    if (random.Chance(12))
        return text; // an empty pair of braces
    std::uint32_t const pieces = random.Between(1, maxPieces);
    for (std::uint32_t i = 0; i < pieces; ++i) {
        if (random.Chance(55))
            AppendCommonPiece(random, text);
        else if (deck == nullptr)
            AppendUtf16Piece(random, text);
        else
            deck->Deal(random, text);
    }
    return text;
}

} // namespace

Table RandomTable(Random &random, CharacterDeck *deck, std::uint32_t minItems,
                  std::uint32_t maxItems, std::uint32_t maxPieces) {
    Table table;
    table.wide = deck == nullptr;
    table.byteOrderMark = table.wide && random.Chance(85);
    table.wideFlag = table.wide && (!table.byteOrderMark || random.Chance(50)) ? 1 : 0;
    std::set<std::string> macros;
    for (std::uint32_t id : RandomIds(random, random.Between(minItems, maxItems))) {
        std::string macro;
        do {
            macro = RandomMacro(random);
        } while (!macros.insert(macro).second);
        table.items.push_back({std::to_string(id), macro, RandomText(random, deck, maxPieces)});
    }
    if (random.Chance(50)) { // file order other than ascending: validation sorts by ID
        for (std::size_t i = table.items.size(); i > 1; --i)
            std::swap(table.items[i - 1], table.items[random.Below(static_cast<std::uint32_t>(i))]);
    }
    return table;
}

} // namespace ril::test
