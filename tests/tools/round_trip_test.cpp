// Round-trip property test: thousands of random tables, written as text resource files, go
// through import, export, a second import and a resave, and must keep every item and byte.
#include "support/test_support.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace ril::test {
namespace {

// SplitMix64: the same sequence on every platform, unlike the standard distributions.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1 (n > 0).
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    // A number from low to high, both included.
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return low + Below(high - low + 1);
    }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

constexpr std::uint32_t kFirstNewId = 196607; // this ID and above ask the parser for a new one

// Texts are held as code units: bytes for MBCS (each below 0x100), UTF-16 units for WCS.
using Units = std::u16string;

struct Item {
    std::uint32_t id = 0;
    std::string macro;
    Units text;
};

struct Table {
    bool wide = false;
    bool byteOrderMark = false; // WCS only: the file starts with FF FE
    int wideFlag = 0;           // what the import is told; the byte-order mark overrides it
    std::vector<Item> items;    // in the order of the text file
};

Units Ascii(const std::string &text) {
    return Units(text.begin(), text.end());
}

// Text characters that every flavour holds in one unit: printable ASCII without braces,
// tabs and line breaks, and the two keywords, which inside braces are plain text.
void AppendCommonPiece(Random &random, Units &text) {
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

// The characters of a multibyte code page (those above 0x7F that its conversions turn into
// UTF-16 and back) in a shuffled order, dealt one after another so that each comes up once
// per pass; now and then a character whose trail byte is a brace is dealt in between.
class CharacterDeck {
  public:
    CharacterDeck(unsigned codePage, Random &random) : cards_(DoubleByteCharacters(codePage)) {
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            const char single[2] = {static_cast<char>(byte), '\0'};
            RIL_WCHAR unit[2] = {};
            char back[4] = {};
            if (Ril_MbcsToWcs(single, unit, codePage) == 2 && unit[0] != 0xFFFD &&
                Ril_WcsToMbcs(unit, back, codePage) == 2 && back[0] == single[0])
                cards_.emplace_back(single, 1);
        }
        for (const std::string &card : cards_)
            if (card.size() == 2 && (card[1] == '{' || card[1] == '}'))
                braceTrails_.push_back(card);
        for (std::size_t i = cards_.size(); i > 1; --i)
            std::swap(cards_[i - 1], cards_[random.Below(static_cast<std::uint32_t>(i))]);
    }
    void Deal(Random &random, Units &text) {
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

// A UTF-16 piece: a CJK character, any other BMP character but zero, a brace or a surrogate,
// or a surrogate pair.
void AppendUtf16Piece(Random &random, Units &text) {
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
Units RandomText(Random &random, CharacterDeck *deck, std::uint32_t maxPieces) {
    Units text;
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

// `count` distinct IDs below 196607: a dense run with small gaps, spread over the whole
// range, or clustered around 1000, where the parser starts counting gaps.
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
        std::uint32_t const high = kind == 1 ? kFirstNewId - 1 : 900 + count * 3;
        if (kind == 1 && random.Chance(20))
            ids.insert(kFirstNewId - 1); // the largest ID that a text file can set
        while (ids.size() < count)
            ids.insert(random.Between(low, high));
    }
    return std::vector<std::uint32_t>(ids.begin(), ids.end());
}

// A WCS table without a deck, an MBCS table of the deck's code page with one.
Table RandomTable(Random &random, CharacterDeck *deck, std::uint32_t minItems,
                  std::uint32_t maxItems, std::uint32_t maxPieces) {
    const bool wide = deck == nullptr;
    Table table;
    table.wide = wide;
    table.byteOrderMark = wide && random.Chance(85);
    table.wideFlag = wide && (!table.byteOrderMark || random.Chance(50)) ? 1 : 0;
    std::uint32_t const count = random.Between(minItems, maxItems);
    std::set<std::string> macros;
    for (std::uint32_t id : RandomIds(random, count)) {
        std::string macro;
        do {
            macro = RandomMacro(random);
        } while (!macros.insert(macro).second);
        table.items.push_back(Item{id, macro, RandomText(random, deck, maxPieces)});
    }
    if (random.Chance(50)) { // file order other than ascending: validation sorts by ID
        for (std::size_t i = table.items.size(); i > 1; --i)
            std::swap(table.items[i - 1], table.items[random.Below(static_cast<std::uint32_t>(i))]);
    }
    return table;
}

// The item blocks of a text resource file as the exporter lays them out, and where each
// item's macro starts (in units from the start of the blocks).
struct Blocks {
    Units units;
    std::vector<std::size_t> macroStarts;
};

Blocks ItemBlocks(std::vector<Item> const &items) {
    Blocks blocks;
    for (Item const &item : items) {
        blocks.units += Ascii("RilStringID=" + std::to_string(item.id) + ";RilStringMacro=");
        blocks.macroStarts.push_back(blocks.units.size());
        blocks.units += Ascii(item.macro + "\r\n" + std::string(77, '/') + "\r\n{");
        blocks.units += item.text;
        blocks.units += u"}\r\n\r\n";
    }
    return blocks;
}

Units Banner(bool wide) {
    return Ascii(std::string("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n") +
                 "//Made by the round-trip test\r\n//Random tables\r\n\r\n" +
                 (wide ? "//Type = WCS\r\n" : "//Type = MBCS\r\n") +
                 "//ExportDate: 2024-3-7 9:5'2\"\r\n\r\n\r\n");
}

Bytes Encode(Units const &units, bool wide) {
    Bytes bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        if (wide)
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

Units Decode(Bytes const &bytes, bool wide) {
    Units units;
    if (!wide)
        return Units(bytes.begin(), bytes.end());
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    return units;
}

std::string Format(char const *format, unsigned id, unsigned offset) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, id, offset);
    return buffer;
}

std::string Format(char const *format, int number) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, number);
    return buffer;
}

// The notices of an import without a log: a warning for every macro of 127 characters, at
// the offset of the second character after the macro, then the gap count. `prefix` is the
// number of units before the blocks (the byte-order mark counts).
std::vector<std::string> ImportNotices(std::vector<Item> const &items, Blocks const &blocks,
                                       std::size_t prefix, bool wide) {
    std::vector<std::string> notices;
    std::int64_t previous = 1000, gaps = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        gaps += static_cast<std::int64_t>(items[i].id) - previous - 1;
        previous = items[i].id;
        if (items[i].macro.size() == 127) {
            std::size_t const offset = (prefix + blocks.macroStarts[i] + 128) * (wide ? 2 : 1);
            notices.push_back(Format(msg::kMacroTooLong, items[i].id, unsigned(offset)));
        }
    }
    notices.push_back(Format(msg::kGapCount, static_cast<int>(gaps)));
    return notices;
}

// The BIN that an import must write for these items, without its holder trailer.
Bytes ExpectedBin(std::vector<Item> items, bool wide) {
    std::sort(items.begin(), items.end(), [](Item const &a, Item const &b) { return a.id < b.id; });
    BinBuilder bin;
    bin.Header(1, items.empty() ? 0 : items.back().id, static_cast<std::uint32_t>(items.size()));
    for (Item const &item : items) {
        if (wide) {
            bin.EntryW(item.id, item.macro, item.text);
        } else {
            std::string const bytes(item.text.begin(), item.text.end());
            bin.EntryA(item.id, item.macro, bytes);
        }
    }
    return bin.Get();
}

// A BIN without its holder trailer, after checking that the trailer is well formed.
::testing::AssertionResult SplitTrailer(Bytes const &file, Bytes &body) {
    if (file.size() < 15)
        return ::testing::AssertionFailure() << "a BIN of " << file.size() << " bytes";
    std::size_t const length = file[file.size() - 3] | file[file.size() - 2] << 8;
    if (file.back() != 0 || length + 15 > file.size())
        return ::testing::AssertionFailure() << "no holder trailer at the end of the BIN";
    std::string const holder(file.end() - 3 - static_cast<long>(length), file.end() - 3);
    if (holder.rfind("Holder=", 0) != 0 ||
        holder.find("    Editor=VeruDodUzarer    StartTime=") == std::string::npos)
        return ::testing::AssertionFailure() << "holder text '" << holder << "'";
    body.assign(file.begin(), file.end() - 3 - static_cast<long>(length));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameBytes(char const *what, Bytes const &actual, Bytes const &expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    auto const mismatch =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return ::testing::AssertionFailure()
           << what << ": " << actual.size() << " bytes, expected " << expected.size()
           << "; first difference at offset " << (mismatch.first - actual.begin());
}

::testing::AssertionResult SameNotices(char const *what, NoticeCapture const &capture,
                                       std::vector<std::string> const &expected) {
    std::vector<NoticeCapture::Notice> const &actual = capture.Notices();
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        std::string const got = i < actual.size() ? actual[i].message : "(none)";
        std::string const want = i < expected.size() ? expected[i] : "(none)";
        if (got != want)
            return ::testing::AssertionFailure()
                   << what << " notice " << i << " of " << actual.size() << ": ["
                   << Utf8FromGbk(got) << "], expected [" << Utf8FromGbk(want) << "] (of "
                   << expected.size() << ")";
    }
    return ::testing::AssertionSuccess();
}

// Checks the export's banner and date line and returns the number of units before the item
// blocks, or fails.
::testing::AssertionResult SplitExport(Units const &file, bool wide, std::size_t &prefix) {
    Units expectedStart = Ascii("//Ril4410 Strings\r\n//Created by Ril4410.DLL\r\n//");
    if (wide)
        expectedStart.insert(expectedStart.begin(), u'\uFEFF');
    if (file.compare(0, expectedStart.size(), expectedStart) != 0)
        return ::testing::AssertionFailure() << "the export does not start with the banner";
    Units const typeAndDate =
        Ascii(std::string("\r\n\r\n//Type = ") + (wide ? "WCS" : "MBCS") + "\r\n//ExportDate: ");
    std::size_t const type = file.find(typeAndDate);
    if (type == Units::npos)
        return ::testing::AssertionFailure() << "no type and date lines in the export";
    // Year-month-day hour:minute'second", each number decimal without leading zeros.
    std::size_t at = type + typeAndDate.size();
    for (char16_t const separator : std::u16string(u"-- :'\"")) {
        std::size_t const digits = at;
        while (at < file.size() && file[at] >= u'0' && file[at] <= u'9')
            ++at;
        if (at == digits || at - digits > 4 || (file[digits] == u'0' && at - digits > 1) ||
            at >= file.size() || file[at] != separator)
            return ::testing::AssertionFailure() << "a malformed date line in the export";
        ++at;
    }
    if (file.compare(at, 6, u"\r\n\r\n\r\n") != 0)
        return ::testing::AssertionFailure() << "no two empty lines after the date line";
    prefix = at + 6;
    return ::testing::AssertionSuccess();
}

class RoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override { Ril_UnloadRes(); }
    void TearDown() override {
        Ril_UnloadRes();
        Ril_SetAnsiCodePage(codePage);
    }

    // Import, export, import again and resave `table`; every step must keep every item.
    ::testing::AssertionResult RoundTrip(Table const &table) {
        bool const wide = table.wide;
        Units prefix = Banner(wide);
        if (table.byteOrderMark)
            prefix.insert(prefix.begin(), u'\uFEFF');
        Blocks const blocks = ItemBlocks(table.items);
        WriteFile(txt, Encode(prefix + blocks.units, wide));

        // The text file as written, imported.
        notices.Clear();
        RIL_LONG result =
            Ril_ImportResFromTxtToBin(txt.c_str(), table.wideFlag, bin.c_str(), nullptr);
        if (result != 0)
            return ::testing::AssertionFailure() << "the import failed with " << result;
        if (auto same = SameNotices("import", notices,
                                    ImportNotices(table.items, blocks, prefix.size(), wide));
            !same)
            return same;
        Bytes imported;
        if (auto split = SplitTrailer(ReadFile(bin), imported); !split)
            return split;
        if (auto same = SameBytes("imported BIN", imported, ExpectedBin(table.items, wide)); !same)
            return same;

        // The BIN exported: the banner and date line, then the items in ascending ID order.
        notices.Clear();
        result = Ril_ExportResFromBinToTxt(exported.c_str(), wide ? 1 : 0, bin.c_str());
        if (result != 0)
            return ::testing::AssertionFailure() << "the export failed with " << result;
        std::vector<Item> sorted = table.items;
        std::sort(sorted.begin(), sorted.end(),
                  [](Item const &a, Item const &b) { return a.id < b.id; });
        Blocks const sortedBlocks = ItemBlocks(sorted);
        Units const exportedUnits = Decode(ReadFile(exported), wide);
        std::size_t exportedPrefix = 0;
        if (auto split = SplitExport(exportedUnits, wide, exportedPrefix); !split)
            return split;
        if (auto same =
                SameBytes("exported items", Encode(exportedUnits.substr(exportedPrefix), wide),
                          Encode(sortedBlocks.units, wide));
            !same)
            return same;

        // The export imported again gives the same BIN.
        result =
            Ril_ImportResFromTxtToBin(exported.c_str(), wide ? 1 : 0, reimported.c_str(), nullptr);
        if (result != 0)
            return ::testing::AssertionFailure() << "the second import failed with " << result;
        if (auto same = SameNotices("second import", notices,
                                    ImportNotices(sorted, sortedBlocks, exportedPrefix, wide));
            !same)
            return same;
        Bytes again;
        if (auto split = SplitTrailer(ReadFile(reimported), again); !split)
            return split;
        if (auto same = SameBytes("BIN of the export", again, imported); !same)
            return same;

        // The BIN loaded and saved holds the same entries, and the table is unloaded.
        notices.Clear();
        if ((result = Ril_LoadRes(bin.c_str())) != 0)
            return ::testing::AssertionFailure() << "loading the BIN failed with " << result;
        if (Ril_GetNumItem() != table.items.size())
            return ::testing::AssertionFailure()
                   << "the loaded table holds " << Ril_GetNumItem() << " items";
        if ((result = Ril_ExportResToBinFile(resaved.c_str())) != 0)
            return ::testing::AssertionFailure() << "saving the table failed with " << result;
        if (Ril_GetNumItem() != 0)
            return ::testing::AssertionFailure() << "the table is still loaded after the save";
        Bytes saved;
        if (auto split = SplitTrailer(ReadFile(resaved), saved); !split)
            return split;
        if (auto same = SameBytes("saved BIN", saved, imported); !same)
            return same;
        return SameNotices("export and save", notices, {});
    }

    TempDir dir;
    NoticeCapture notices; // the import reports its gap count as a notice when it has no log
    std::string const txt = dir.File("table.txt");
    std::string const bin = dir.File("table.bin");
    std::string const exported = dir.File("exported.txt");
    std::string const reimported = dir.File("reimported.bin");
    std::string const resaved = dir.File("resaved.bin");
    unsigned const codePage = Ril_SetAnsiCodePage(0);
};

// Every GBK character comes up in the texts, the 236 or so whose trail byte is a brace often.
TEST_F(RoundTripTest, SmallMbcsTablesKeepTheirItems) {
    Ril_SetAnsiCodePage(936);
    Random random(0x4D42435331ull);
    CharacterDeck gbk(936, random);
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(RoundTrip(RandomTable(random, &gbk, 0, 20, 24))) << "MBCS table " << i;
    EXPECT_GT(gbk.Size(), 21000u);
    EXPECT_GT(gbk.BraceTrails(), 200u);
    EXPECT_GE(gbk.Passes(), 1u);
}

// The same for Shift-JIS (half-width katakana included) and Big5 under their code pages.
TEST_F(RoundTripTest, ShiftJisAndBig5TablesKeepTheirItems) {
    Random random(0x534A495342ull);
    for (unsigned codePage : {932u, 950u}) {
        Ril_SetAnsiCodePage(codePage);
        CharacterDeck deck(codePage, random);
        for (int i = 0; deck.Passes() == 0 && i < 200; ++i)
            ASSERT_TRUE(RoundTrip(RandomTable(random, &deck, 0, 40, 40)))
                << "table " << i << " of code page " << codePage;
        EXPECT_GT(deck.Size(), 9000u) << codePage;
        EXPECT_GT(deck.BraceTrails(), 60u) << codePage;
        EXPECT_GE(deck.Passes(), 1u) << codePage;
    }
}

TEST_F(RoundTripTest, SmallWcsTablesKeepTheirItems) {
    Random random(0x5743533131ull);
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(RoundTrip(RandomTable(random, nullptr, 0, 20, 24))) << "WCS table " << i;
}

TEST_F(RoundTripTest, LargeTablesKeepTheirItems) {
    Ril_SetAnsiCodePage(936);
    Random random(0x4C41524745ull);
    CharacterDeck gbk(936, random);
    for (int i = 0; i < 4; ++i) {
        bool const wide = i % 2 == 1;
        ASSERT_TRUE(RoundTrip(RandomTable(random, wide ? nullptr : &gbk, 1000, 3000, 80)))
            << (wide ? "WCS" : "MBCS") << " table " << i;
    }
}

} // namespace
} // namespace ril::test
