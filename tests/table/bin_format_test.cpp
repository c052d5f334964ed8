// The BIN format byte for byte: the worked example as the writers lay it out and the holder
// marker at the end of a file (the readers' rules are pinned through the table and list).
#include "items/record_builder.h"
#include "support/test_support.h"
#include "table/bin_format.h"

using namespace ril::items;
using namespace ril::table;
using namespace ril::platform;

namespace ril::test {
namespace {

const std::string kHolder = "Holder=ann    Editor=VeruDodUzarer    StartTime=2011-3-9 14:5'7\"";

Bytes BuildRecord(char const *macro, Bytes const &text, std::size_t terminator) {
    std::optional<RecordLayout> layout = PlanRecord(macro, text.size(), terminator);
    EXPECT_TRUE(layout.has_value());
    Bytes record(layout ? layout->size : 0);
    EXPECT_TRUE(layout && FillRecord(record, *layout, macro, text.data()));
    return record;
}

Bytes Written(std::vector<BinEntry> const &entries, std::string const &holder) {
    TempDir dir;
    std::string path = dir.File("out.bin");
    FileReplacer out(path.c_str());
    WriteBinImage(out, entries, holder);
    EXPECT_EQ(out.Commit(), ReplaceStatus::Ok);
    return ReadFile(path);
}

TEST(BinFormatTest, WritersLayOutTheWorkedExample) {
    const Bytes hello = BuildRecord("HELLO", {'H', 'i'}, 1);
    const Bytes bye = BuildRecord("BYE", {'O', 'K'}, 1);
    Bytes expected = {1,  0, 0, 0, 5, 0, 0,   0,   2,   0,   0,   0,   1,   0,   0,   0,
                      11, 0, 0, 0, 6, 0, 'H', 'E', 'L', 'L', 'O', 0,   'H', 'i', 0,   5,
                      0,  0, 0, 9, 0, 0, 0,   4,   0,   'B', 'Y', 'E', 0,   'O', 'K', 0};
    expected.insert(expected.end(), kHolder.begin(), kHolder.end());
    expected.insert(expected.end(), {0x40, 0, 0});
    ASSERT_EQ(expected.size(), 115u);
    EXPECT_EQ(Written({{1, hello.data(), 11}, {5, bye.data(), 9}}, kHolder), expected);
    EXPECT_EQ(ReadFile(RIL_SOURCE_DIR "/examples/hello.bin"), expected);

    // The wide record of item 1, and the macro length that must fit 16 bits.
    EXPECT_EQ(BuildRecord("HELLO", {'H', 0, 'i', 0}, 2),
              (Bytes{6, 0, 'H', 'E', 'L', 'L', 'O', 0, 'H', 0, 'i', 0, 0, 0}));
    EXPECT_FALSE(PlanRecord(std::string(0xFFFF, 'M').c_str(), 0, 0).has_value());
    EXPECT_TRUE(PlanRecord(std::string(0xFFFE, 'M').c_str(), 0, 0).has_value());
    std::optional<RecordLayout> layout = PlanRecord("A", 1, 1);
    Bytes tooLong(layout->size + 1);
    EXPECT_FALSE(FillRecord(tooLong, *layout, "A", "x"));

    // No entries: 12 header bytes (flag 1, max ID 0, count 0) and the marker.
    EXPECT_EQ(Written({}, "x"), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'x', 1, 0, 0}));
}

TEST(BinFormatTest, HolderMarkersAreFoundFromTheEnd) {
    const std::pair<Bytes, std::string> rows[] = {
        {BinBuilder().Trailer("who").Get(), "who"}, // a marker that is the whole file
        {BinBuilder().Header(1, 0, 0).Trailer("first").Trailer("second").Get(), "second"},
        {BinBuilder().Header(1, 0, 0).U16(13).U8(0).Get(), ""}, // length reaches past the start
        {BinBuilder().Trailer(std::string("a\0b", 3)).Get(), std::string("a\0b", 3)},
    };
    for (auto const &[file, text] : rows) {
        std::span<const std::uint8_t> found = HolderMarkerText(file);
        EXPECT_EQ(std::string(found.begin(), found.end()), text);
    }

    Bytes marker(HolderMarkerSize(3));
    ASSERT_TRUE(FillHolderMarker(marker, "who"));
    EXPECT_EQ(marker, BinBuilder().Trailer("who").Get());
    Bytes wrongSize(5);
    EXPECT_FALSE(FillHolderMarker(wrongSize, "who"));
    const std::string tooLong(kMaxHolderText + 1, 'x');
    Bytes large(HolderMarkerSize(tooLong.size()));
    EXPECT_FALSE(FillHolderMarker(large, tooLong));
}

} // namespace
} // namespace ril::test
