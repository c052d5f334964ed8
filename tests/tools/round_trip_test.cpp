// Round-trip property test: thousands of random tables, written as text resource files, go
// through import, export, a second import and a resave, and must keep every item and byte.
// The file formats themselves are pinned by the parser, writer and BIN tests.
#include "support/random_table.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace ril::test {
namespace {

// The characters of a multibyte code page above 0x7F that its conversions turn into UTF-16
// and back: every double-byte one and the single bytes.
std::vector<std::string> Cards(unsigned codePage) {
    std::vector<std::string> cards = DoubleByteCharacters(codePage);
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        const char single[2] = {static_cast<char>(byte), '\0'};
        RIL_WCHAR unit[2] = {};
        char back[4] = {};
        if (Ril_MbcsToWcs(single, unit, codePage) == 2 && unit[0] != 0xFFFD &&
            Ril_WcsToMbcs(unit, back, codePage) == 2 && back[0] == single[0])
            cards.emplace_back(single, 1);
    }
    return cards;
}

std::vector<TableItem> Sorted(std::vector<TableItem> items) {
    std::sort(items.begin(), items.end(), [](TableItem const &a, TableItem const &b) {
        return std::stoul(a.id) < std::stoul(b.id);
    });
    return items;
}

Bytes AsBytes(std::string const &bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

// The BIN that an import must write for these items, without its holder trailer.
Bytes ExpectedBin(std::vector<TableItem> const &items, bool wide) {
    BinBuilder bin;
    bin.Header(1, items.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(items.back().id)),
               static_cast<std::uint32_t>(items.size()));
    for (TableItem const &item : items) {
        auto const id = static_cast<std::uint32_t>(std::stoul(item.id));
        if (wide)
            bin.EntryW(id, item.macro, item.text);
        else
            bin.EntryA(id, item.macro, std::string(item.text.begin(), item.text.end()));
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
        WriteFile(txt, EncodeUnits(TableFile(table), wide));
        RIL_LONG result =
            Ril_ImportResFromTxtToBin(txt.c_str(), table.wideFlag, bin.c_str(), nullptr);
        if (result != 0)
            return ::testing::AssertionFailure() << "the import failed with " << result;
        std::vector<TableItem> const sorted = Sorted(table.items);
        Bytes imported;
        if (auto split = SplitTrailer(ReadFile(bin), imported); !split)
            return split;
        if (auto same = SameBytes("imported BIN", imported, ExpectedBin(sorted, wide)); !same)
            return same;

        // The export: the banner, a date line, then the items in ascending ID order.
        if ((result = Ril_ExportResFromBinToTxt(exported.c_str(), wide ? 1 : 0, bin.c_str())) != 0)
            return ::testing::AssertionFailure() << "the export failed with " << result;
        std::string const date = EncodeUnits(u"//ExportDate: ", wide);
        std::string const end = EncodeUnits(u"\"\r\n\r\n\r\n", wide);
        Bytes const file = ReadFile(exported);
        std::string const text(file.begin(), file.end());
        std::size_t const body = text.find(end, text.find(date));
        if (body == std::string::npos)
            return ::testing::AssertionFailure() << "no date line in the export";
        if (auto same = SameBytes("exported items", AsBytes(text.substr(body + end.size())),
                                  AsBytes(EncodeUnits(TableBlocks(sorted), wide)));
            !same)
            return same;

        // The export imported again gives the same BIN.
        result =
            Ril_ImportResFromTxtToBin(exported.c_str(), wide ? 1 : 0, reimported.c_str(), nullptr);
        if (result != 0)
            return ::testing::AssertionFailure() << "the second import failed with " << result;
        Bytes again;
        if (auto split = SplitTrailer(ReadFile(reimported), again); !split)
            return split;
        if (auto same = SameBytes("BIN of the export", again, imported); !same)
            return same;

        // The BIN loaded and saved holds the same entries, and the table is unloaded.
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
        return SameBytes("saved BIN", saved, imported);
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
    CharacterDeck gbk(Cards(936), random);
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
        CharacterDeck deck(Cards(codePage), random);
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
    CharacterDeck gbk(Cards(936), random);
    for (int i = 0; i < 4; ++i) {
        bool const wide = i % 2 == 1;
        ASSERT_TRUE(RoundTrip(RandomTable(random, wide ? nullptr : &gbk, 1000, 3000, 80)))
            << (wide ? "WCS" : "MBCS") << " table " << i;
    }
}

} // namespace
} // namespace ril::test
