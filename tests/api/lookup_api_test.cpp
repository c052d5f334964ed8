// The exported load and lookup functions: present and missing items, the in-place
// carriage-return replacement, the macro size protocol, records that lie and tables loaded
// from memory.
#include "core/messages.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace ril::core;

namespace ril::test {
namespace {

using Results = std::vector<RIL_LONG>;

class LookupApiTest : public LibraryTest {
  protected:
    std::string Load(Bytes const &bytes) {
        std::string path = Put(std::to_string(serial++) + ".bin", bytes);
        EXPECT_EQ(Ril_LoadRes(path.c_str()), 0);
        return path;
    }
    int serial = 0;
};

TEST_F(LookupApiTest, PresentAndMissingItems) {
    Load(BinBuilder()
             .Header(1, 5, 3)
             .EntryA(1, "HELLO", "Hi")
             .EntryA(5, "BYE", "OK")
             .Entry(3, {})
             .Trailer("h")
             .Get());
    EXPECT_EQ(Ril_GetNumItem(), 3u); // as declared, the empty entry included
    EXPECT_EQ(std::string(Ril_GetStringA(1)) + Ril_GetStringA(5), "HiOK");
    EXPECT_EQ((std::vector<RIL_ULONG>{Ril_GetItemSize(1), Ril_GetItemSize(3)}),
              (std::vector<RIL_ULONG>{11, 0}));
    auto const *data = static_cast<std::uint8_t const *>(Ril_GetData(5));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Bytes(data, data + 9), RecordA("BYE", "OK"));
    // Missing IDs: inside the table, at its capacity, far beyond it.
    for (RIL_ULONG id : {0u, 3u, 14u, 15u, 1000000u, 0xFFFFFFFFu})
        EXPECT_EQ(std::make_tuple(std::string(Ril_GetStringA(id)), Wide(Ril_GetStringW(id)),
                                  Ril_GetData(id) == nullptr, Ril_GetItemSize(id)),
                  std::make_tuple(std::string(" "), std::u16string(u" "), true, RIL_ULONG(0)))
            << id;
}

// Carriage returns become blanks in the stored record; a wide text behind an odd macro
// length (M = 6 and M = 5) comes back whole, at an address aligned for UTF-16.
TEST_F(LookupApiTest, CarriageReturnsBecomeBlanksInTheStoredRecord) {
    // clang-format off
    Load(BinBuilder().Header(1, 4, 4).EntryA(1, "A", "A\r\nB").EntryW(2, "WIDE", u"x\r\ny\u4E2D\r")
            .EntryW(3, "HELLO", u"Hi").EntryW(4, "ABCD", u"\u00E9t\u00E9").Get());
    // clang-format on
    EXPECT_STREQ(Ril_GetStringA(1), "A \nB");
    auto const *record = static_cast<std::uint8_t const *>(Ril_GetData(1));
    EXPECT_EQ(Bytes(record, record + Ril_GetItemSize(1)), RecordA("A", "A \nB"));
    EXPECT_EQ(Wide(Ril_GetStringW(2)), u"x \ny\u4E2D ");
    record = static_cast<std::uint8_t const *>(Ril_GetData(2));
    EXPECT_EQ(Bytes(record, record + Ril_GetItemSize(2)), RecordW("WIDE", u"x \ny\u4E2D "));
    EXPECT_EQ(Ril_GetItemSize(3), 14u);
    EXPECT_EQ(Wide(Ril_GetStringW(3)) + Wide(Ril_GetStringW(4)), u"Hi\u00E9t\u00E9");
    EXPECT_EQ((reinterpret_cast<std::uintptr_t>(Ril_GetStringW(3)) |
               reinterpret_cast<std::uintptr_t>(Ril_GetStringW(4))) %
                  2,
              0u);
}

// Ril_GetMacro of `id` given `length`, into 16 bytes of '#' or no buffer: the result, the
// length then and the first 7 bytes of the buffer.
using MacroAnswer = std::tuple<RIL_LONG, RIL_ULONG, std::string>;
MacroAnswer Macro(RIL_ULONG id, RIL_ULONG length, bool withBuffer) {
    std::string buffer(16, '#');
    RIL_LONG const result = Ril_GetMacro(withBuffer ? buffer.data() : nullptr, length, id);
    return {result, length, buffer.substr(0, 7)};
}
const std::string kUntouched(7, '#');

// The size asked for; a buffer too small; a buffer of the size answered, or larger, takes the
// macro with its own zero and nothing more; a missing ID.
TEST_F(LookupApiTest, MacroSizeProtocol) {
    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "HELLO", "Hi").Trailer("").Get());
    const std::string hello("HELLO\0#", 7);
    EXPECT_EQ(
        (std::vector<MacroAnswer>{Macro(1, 99, false), Macro(1, 5, true), Macro(1, 6, true),
                                  Macro(1, 16, true), Macro(2, 42, true), Macro(2, 42, false)}),
        (std::vector<MacroAnswer>{{1, 6, kUntouched},
                                  {kEFail, 6, kUntouched},
                                  {0, 6, hello},
                                  {0, 16, hello},
                                  {kEFail, 42, kUntouched},
                                  {kEFail, 42, kUntouched}}));
}

TEST_F(LookupApiTest, RecordsThatLieStayInsideTheirBytes) {
    Bytes noTerminator = {0x02, 0x00, 'M', 0x00, 'a', 'b', 'c'};
    Bytes macroTooLong = {0xFF, 0x7F, 'L', 'O', 'N', 'G'};
    Bytes oddWide = {0x02, 0x00, 'W', 0x00, 'h', 0x00, 'i'}; // half a unit at the end
    Bytes tiny = {0x07};
    // clang-format off
    Load(BinBuilder().Header(0, 4, 4).Entry(1, noTerminator).Entry(2, macroTooLong)
            .Entry(3, oddWide).Entry(4, tiny).Get());
    // clang-format on

    EXPECT_EQ(std::string(Ril_GetStringA(1)) + "|" + Ril_GetStringA(2) + "|" + Ril_GetStringA(4),
              "abc||");
    EXPECT_EQ(Wide(Ril_GetStringW(3)), u"hi"); // the half unit reads with a zero high byte

    // A macro clamped to the record has no zero of its own: the size answered and the bytes
    // written include the one the copy adds.
    EXPECT_EQ((std::vector<MacroAnswer>{Macro(2, 0, false), Macro(2, 5, true), Macro(4, 0, false),
                                        Macro(4, 1, true)}),
              (std::vector<MacroAnswer>{{1, 5, kUntouched},
                                        {0, 5, std::string("LONG\0##", 7)},
                                        {1, 1, kUntouched},
                                        {0, 1, std::string("\0######", 7)}})); // one zero, no more
}

// Loads, unloads and reloads; none of them (nor any lookup) touches the last error.
TEST_F(LookupApiTest, LoadUnloadReload) {
    EXPECT_EQ(Ril_MbcsToWcs(nullptr, nullptr, 0), 0); // records -102
    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "A", "first").Trailer("").Get());
    // An empty path changes nothing, a null one fails, a reload is refused while loaded.
    RIL_ULONG length = 0;
    EXPECT_EQ((Results{Ril_LoadRes(""), Ril_LoadRes(nullptr), Ril_ReLoadRes(),
                       RIL_LONG(Ril_GetNumItem()), Ril_GetMacro(nullptr, length, 1)}),
              (Results{0, kEFail, kEFail, 1, 1}));
    EXPECT_STREQ(Ril_GetStringA(1), "first");
    // Unloading twice is harmless.
    EXPECT_EQ((Results{Ril_UnloadRes(), RIL_LONG(Ril_GetNumItem()), RIL_LONG(Ril_GetItemSize(1)),
                       Ril_GetData(1) != nullptr, Ril_UnloadRes(), Ril_ReLoadRes()}),
              (Results{0, 0, 0, 0, 0, 0}));
    EXPECT_STREQ(Ril_GetStringA(1), "first");

    // A load that fails drops the table; the reload then brings back the last good file.
    EXPECT_EQ(Ril_LoadRes(dir.File("nope.bin").c_str()), kEFail);
    using After = std::tuple<RIL_ULONG, std::string, std::u16string, RIL_LONG>;
    EXPECT_EQ(
        (After{Ril_GetNumItem(), Ril_GetStringA(1), Wide(Ril_GetStringW(7)), Ril_ReLoadRes()}),
        (After{0, " ", u" ", 0}));
    EXPECT_STREQ(Ril_GetStringA(1), "first");
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);
}

// A table compiled into a program: read-only bytes. Items 1 (HELLO "Hi") and 5 (BYE, a
// carriage return in its text), and item 6 whose UTF-16 text sits behind an odd macro length.
// clang-format off
const std::uint8_t kImage[] = {
    0x01, 0, 0, 0, 0x06, 0, 0, 0, 0x03, 0, 0, 0,                                        // header
    0x01, 0, 0, 0, 0x0B, 0, 0, 0, 0x06, 0, 'H', 'E', 'L', 'L', 'O', 0, 'H', 'i', 0,     // 1
    0x05, 0, 0, 0, 0x0A, 0, 0, 0, 0x04, 0, 'B', 'Y', 'E', 0, 'O', '\r', 'K', 0,         // 5
    0x06, 0, 0, 0, 0x0D, 0, 0, 0, 0x03, 0, 'W', 'D', 0, 'x', 0, '\r', 0, 'y', 0, 0, 0,  // 6
    'h', 0x01, 0, 0};                                                                   // holder
// clang-format on

TEST_F(LookupApiTest, ReadOnlyImageLoadsLikeItsFile) {
    const Bytes image(std::begin(kImage), std::end(kImage));
    const std::string file = Load(image); // the path a reload would otherwise come back to
    ASSERT_EQ(Ril_LoadResFromMemory(kImage, sizeof kImage), 0);
    char const *ok = Ril_GetStringA(5);
    const RIL_WCHAR *wide = Ril_GetStringW(6);
    EXPECT_EQ(std::string(Ril_GetStringA(1)) + "|" + ok + "|" + Ril_GetStringA(2), "Hi|O K| ");
    EXPECT_EQ(Wide(wide), u"x y");
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 2, 0u);
    // Repeated gets hand out the same pointers; the copy, not the image, took the blanks.
    EXPECT_EQ(std::make_pair(Ril_GetStringA(5), Ril_GetStringW(6)), std::make_pair(ok, wide));
    EXPECT_EQ(Bytes(std::begin(kImage), std::end(kImage)), image);
    RIL_ULONG length = 0;
    EXPECT_EQ(std::make_pair(Ril_GetMacro(nullptr, length, 5), length),
              std::make_pair(RIL_LONG(1), RIL_ULONG(4)));

    // The table has no file: a tool given no BIN answers as with no table at all, a save
    // works, and the reload is refused rather than going back to the file loaded before.
    const std::string txt = dir.File("out.txt");
    EXPECT_EQ(Ril_ExportResFromBinToTxt(txt.c_str(), 0, nullptr), kErrArgument);
    ExpectNotice(msg::kNoBinNoTable);
    EXPECT_EQ(std::make_pair(Ril_GetNumItem(), FileExists(txt)),
              std::make_pair(RIL_ULONG(3), false));
    Ril_UnloadRes();
    EXPECT_EQ(Ril_ReLoadRes(), kEFail);
    ASSERT_EQ(Ril_LoadResFromMemory(kImage, sizeof kImage), 0);
    EXPECT_STREQ(Ril_GetStringA(5), "O K");
    const std::string saved = dir.File("saved.bin");
    EXPECT_EQ((Results{Ril_ExportResToBinFile(saved.c_str()), RIL_LONG(Ril_GetNumItem()),
                       Ril_ReLoadRes(), Ril_LoadRes(saved.c_str())}),
              (Results{0, 0, kEFail, 0}));
    EXPECT_EQ(std::string(Ril_GetStringA(1)) + "|" + Ril_GetStringA(5), "Hi|O K");
    EXPECT_EQ(ReadFile(file), image); // the first file was never touched
    // A null image changes nothing.
    EXPECT_EQ(std::make_pair(Ril_LoadResFromMemory(nullptr, 4), std::string(Ril_GetStringA(1))),
              std::make_pair(RIL_LONG(kEFail), std::string("Hi")));
}

// An image that lies inside the loaded table (a BIN stored as an item's text) is taken whole
// before that table is dropped.
TEST_F(LookupApiTest, ImageInsideTheLoadedTableLoads) {
    const Bytes inner = BinBuilder().Header(0, 2, 1).EntryA(2, "IN", "inner").Get();
    const Bytes outerRecord = RecordA("OUT", std::string(inner.begin(), inner.end()));
    Load(BinBuilder().Header(0, 1, 1).Entry(1, outerRecord).Get());
    auto const *record = static_cast<std::uint8_t const *>(Ril_GetData(1));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Ril_LoadResFromMemory(record + 6, static_cast<RIL_ULONG>(inner.size())), 0);
    EXPECT_EQ(std::make_tuple(Ril_GetNumItem(), std::string(Ril_GetStringA(2)), Ril_GetData(1)),
              std::make_tuple(1u, std::string("inner"), nullptr));
}

} // namespace
} // namespace ril::test
