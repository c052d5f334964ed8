// Round-trip property test: thousands of random tables, written as text resource files, go
// through import, export, a second import and a load, and must keep every item and byte.
#include "platform/codepage.h"
#include "support/random_table.h"
#include "support/test_support.h"

#include <algorithm>

namespace ril::test {
namespace {

// The characters of a multibyte code page above 0x7F that its conversions turn into one
// UTF-16 unit and back: every double-byte one, those whose trail byte is a brace sixteen times
// over (so that texts hold them often), then the single bytes.
std::vector<std::string> Characters(unsigned codePage) {
    std::vector<std::string> cards, singles;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) { // trail 0: the byte alone
            char const bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            int const size = trail == 0 ? 1 : 2;
            std::uint16_t unit[2] = {};
            char back[4] = {};
            if (platform::MultiByteToWide(codePage, bytes, size, unit, 2).count == 1 &&
                unit[0] != 0xFFFD &&
                platform::WideToMultiByte(codePage, unit, 1, back, 4).count == size &&
                std::equal(bytes, bytes + size, back))
                (size == 1 ? singles : cards).emplace_back(bytes, size);
        }
    }
    const std::size_t doubleBytes = cards.size();
    for (std::size_t i = 0; i < doubleBytes; ++i) {
        if (cards[i][1] == '{' || cards[i][1] == '}')
            cards.insert(cards.end(), 15, std::string(cards[i]));
    }
    EXPECT_GT(doubleBytes, 9000u) << codePage;
    EXPECT_GT(cards.size() - doubleBytes, 60u * 15) << codePage;
    cards.insert(cards.end(), singles.begin(), singles.end());
    return cards;
}

// The BIN that an import must write for these items in ascending ID order, without its marker.
Bytes ExpectedBin(std::vector<TableItem> const &items, bool wide) {
    BinBuilder bin;
    bin.Header(1, items.empty() ? 0 : std::uint32_t(std::stoul(items.back().id)),
               std::uint32_t(items.size()));
    for (TableItem const &item : items) {
        auto const id = std::uint32_t(std::stoul(item.id));
        wide ? bin.EntryW(id, item.macro, item.text)
             : bin.EntryA(id, item.macro, std::string(item.text.begin(), item.text.end()));
    }
    return bin.Get();
}

class RoundTripTest : public LibraryTest {
  protected:
    // Import, export, import again and load `table`: "" when every step keeps every item,
    // else the first step that did not.
    std::string RoundTrip(Table const &table) {
        bool const wide = table.wide;
        std::vector<TableItem> sorted = table.items;
        std::sort(sorted.begin(), sorted.end(), [](TableItem const &a, TableItem const &b) {
            return std::stoul(a.id) < std::stoul(b.id);
        });
        WriteFile(txt, EncodeUnits(TableFile(table), wide));
        if (Ril_ImportResFromTxtToBin(txt.c_str(), table.wideFlag, bin.c_str(), nullptr) != 0)
            return "the import failed";
        const Bytes imported = SavedBody(bin);
        if (imported != ExpectedBin(sorted, wide))
            return "the imported BIN differs";
        // The export: the banner, a date line, then the items in ascending ID order.
        if (Ril_ExportResFromBinToTxt(exported.c_str(), wide ? 1 : 0, bin.c_str()) != 0)
            return "the export failed";
        const std::string text = ReadText(exported), end = EncodeUnits(u"\"\r\n\r\n\r\n", wide);
        const std::size_t body = text.find(end, text.find(EncodeUnits(u"//ExportDate: ", wide)));
        if (body == std::string::npos ||
            text.substr(body + end.size()) != EncodeUnits(TableBlocks(sorted), wide))
            return "the exported items differ";
        if (Ril_ImportResFromTxtToBin(exported.c_str(), wide ? 1 : 0, reimported.c_str(),
                                      nullptr) != 0 ||
            SavedBody(reimported) != imported)
            return "the BIN of the export differs";
        bool const loaded = Ril_LoadRes(bin.c_str()) == 0 && Ril_GetNumItem() == table.items.size();
        Ril_UnloadRes();
        return loaded ? "" : "the BIN does not load whole";
    }

    std::string txt = dir.File("table.txt");
    std::string bin = dir.File("table.bin");
    std::string exported = dir.File("exported.txt");
    std::string reimported = dir.File("reimported.bin");
};

// GBK, Shift-JIS (half-width katakana included) and Big5 under their code pages.
TEST_F(RoundTripTest, SmallMbcsTablesKeepTheirItems) {
    Random random(0x4D42435331ull);
    for (auto const &[codePage, tables] : {std::pair{936u, 1000}, {932u, 200}, {950u, 200}}) {
        Ril_SetAnsiCodePage(codePage);
        const std::vector<std::string> characters = Characters(codePage);
        for (int i = 0; i < tables; ++i)
            ASSERT_EQ(RoundTrip(RandomTable(random, &characters, 0, 20, 24)), "")
                << "table " << i << " of code page " << codePage;
    }
}

TEST_F(RoundTripTest, SmallWcsTablesKeepTheirItems) {
    Random random(0x5743533131ull);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(RoundTrip(RandomTable(random, nullptr, 0, 20, 24)), "") << "WCS table " << i;
    // Large tables, whose writes cross the writers' buffers.
    const std::vector<std::string> gbk = Characters(936);
    Ril_SetAnsiCodePage(936);
    ASSERT_EQ(RoundTrip(RandomTable(random, nullptr, 2000, 3000, 80)), "");
    ASSERT_EQ(RoundTrip(RandomTable(random, &gbk, 2000, 3000, 80)), "");
}

} // namespace
} // namespace ril::test
