// The exported load and lookup functions: answers for present and missing items, the
// in-place carriage-return replacement, the macro size protocol and records that lie.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ril::test {
namespace {

class LookupApiTest : public LibraryTest {
  protected:
    std::string Load(const Bytes &bytes) {
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
    EXPECT_STREQ(Ril_GetStringA(1), "Hi");
    EXPECT_STREQ(Ril_GetStringA(5), "OK");
    EXPECT_EQ(Ril_GetItemSize(1), 11u);
    EXPECT_EQ(Ril_GetItemSize(3), 0u);
    const auto *data = static_cast<const std::uint8_t *>(Ril_GetData(5));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Bytes(data, data + 9), RecordA("BYE", "OK"));

    // Missing IDs: inside the table, at its capacity, far beyond it.
    for (RIL_ULONG id : {0u, 3u, 14u, 15u, 1000000u, 0xFFFFFFFFu}) {
        const char *narrow = Ril_GetStringA(id);
        EXPECT_EQ(narrow[0], ' ') << id;
        EXPECT_EQ(narrow[1], '\0') << id;
        const RIL_WCHAR *wide = Ril_GetStringW(id);
        EXPECT_EQ(wide[0], 0x0020) << id;
        EXPECT_EQ(wide[1], 0x0000) << id;
        EXPECT_EQ(Ril_GetData(id), nullptr) << id;
        EXPECT_EQ(Ril_GetItemSize(id), 0u) << id;
    }
}

// Carriage returns become blanks in the stored record; a wide text behind an odd macro
// length (M = 6 and M = 5) comes back whole, at an address aligned for UTF-16.
TEST_F(LookupApiTest, CarriageReturnsBecomeBlanksInTheStoredRecord) {
    Load(BinBuilder()
             .Header(1, 4, 4)
             .EntryA(1, "A", "A\r\nB")
             .EntryW(2, "WIDE", u"x\r\ny\u4E2D\r")
             .EntryW(3, "HELLO", u"Hi")
             .EntryW(4, "ABCD", u"\u00E9t\u00E9")
             .Get());
    EXPECT_STREQ(Ril_GetStringA(1), "A \nB");
    const auto *record = static_cast<const std::uint8_t *>(Ril_GetData(1));
    EXPECT_EQ(Bytes(record, record + Ril_GetItemSize(1)), RecordA("A", "A \nB"));
    EXPECT_EQ(Wide(Ril_GetStringW(2)), u"x \ny\u4E2D ");
    record = static_cast<const std::uint8_t *>(Ril_GetData(2));
    EXPECT_EQ(Bytes(record, record + Ril_GetItemSize(2)), RecordW("WIDE", u"x \ny\u4E2D "));
    EXPECT_EQ(Ril_GetItemSize(3), 14u);
    EXPECT_EQ(Wide(Ril_GetStringW(3)), u"Hi");
    EXPECT_EQ(Wide(Ril_GetStringW(4)), u"\u00E9t\u00E9");
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Ril_GetStringW(3)) % 2, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Ril_GetStringW(4)) % 2, 0u);
}

TEST_F(LookupApiTest, MacroSizeProtocol) {
    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "HELLO", "Hi").Trailer("").Get());
    RIL_ULONG length = 99;
    EXPECT_EQ(Ril_GetMacro(nullptr, length, 1), 1);
    EXPECT_EQ(length, 6u);

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    length = 5;
    EXPECT_EQ(Ril_GetMacro(buffer, length, 1), kEFail);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(buffer[0], '#');

    // A buffer of the size answered takes the macro with its own zero and nothing more;
    // a larger one is filled the same way.
    for (RIL_ULONG given : {6u, 16u}) {
        std::memset(buffer, '#', sizeof buffer);
        length = given;
        EXPECT_EQ(Ril_GetMacro(buffer, length, 1), 0);
        EXPECT_EQ(length, given);
        EXPECT_EQ(std::memcmp(buffer, "HELLO\0#", 7), 0) << given;
    }

    length = 42;
    EXPECT_EQ(Ril_GetMacro(buffer, length, 2), kEFail);
    EXPECT_EQ(Ril_GetMacro(nullptr, length, 2), kEFail);
    EXPECT_EQ(length, 42u);
}

TEST_F(LookupApiTest, RecordsThatLieStayInsideTheirBytes) {
    Bytes noTerminator = {0x02, 0x00, 'M', 0x00, 'a', 'b', 'c'};
    Bytes macroTooLong = {0xFF, 0x7F, 'L', 'O', 'N', 'G'};
    Bytes oddWide = {0x02, 0x00, 'W', 0x00, 'h', 0x00, 'i'}; // half a unit at the end
    Bytes tiny = {0x07};
    Load(BinBuilder()
             .Header(0, 4, 4)
             .Entry(1, noTerminator)
             .Entry(2, macroTooLong)
             .Entry(3, oddWide)
             .Entry(4, tiny)
             .Get());

    EXPECT_STREQ(Ril_GetStringA(1), "abc");
    EXPECT_STREQ(Ril_GetStringA(2), "");
    EXPECT_EQ(Wide(Ril_GetStringW(3)), u"hi"); // the half unit reads with a zero high byte
    EXPECT_STREQ(Ril_GetStringA(4), "");

    // A macro clamped to the record has no zero of its own: the size answered and the bytes
    // written include the one the copy adds.
    RIL_ULONG length = 0;
    EXPECT_EQ(Ril_GetMacro(nullptr, length, 2), 1);
    EXPECT_EQ(length, 5u);
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Ril_GetMacro(buffer, length, 2), 0);
    EXPECT_EQ(std::memcmp(buffer, "LONG\0#", 6), 0);
    EXPECT_EQ(Ril_GetMacro(nullptr, length, 4), 1);
    EXPECT_EQ(length, 1u);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Ril_GetMacro(buffer, length, 4), 0);
    EXPECT_EQ(std::memcmp(buffer, "\0#", 2), 0);
}

// Loads, unloads and reloads; none of them (nor any lookup) touches the last error.
TEST_F(LookupApiTest, LoadUnloadReload) {
    EXPECT_EQ(Ril_MbcsToWcs(nullptr, nullptr, 0), 0); // records -102
    Load(BinBuilder().Header(1, 1, 1).EntryA(1, "A", "first").Trailer("").Get());
    EXPECT_EQ(Ril_LoadRes(""), 0); // empty path: nothing changes
    EXPECT_STREQ(Ril_GetStringA(1), "first");
    EXPECT_EQ(Ril_LoadRes(nullptr), kEFail);
    EXPECT_STREQ(Ril_GetStringA(1), "first");
    EXPECT_EQ(Ril_ReLoadRes(), kEFail); // refused while loaded
    EXPECT_EQ(Ril_GetNumItem(), 1u);
    RIL_ULONG length = 0;
    EXPECT_EQ(Ril_GetMacro(nullptr, length, 1), 1);

    EXPECT_EQ(Ril_UnloadRes(), 0);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    EXPECT_EQ(Ril_GetItemSize(1), 0u);
    EXPECT_EQ(Ril_GetData(1), nullptr);
    EXPECT_EQ(Ril_UnloadRes(), 0); // twice is harmless
    EXPECT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(1), "first");

    // A load that fails drops the table; the reload then brings back the last good file.
    EXPECT_EQ(Ril_LoadRes(dir.File("nope.bin").c_str()), kEFail);
    EXPECT_EQ(Ril_GetNumItem(), 0u);
    EXPECT_STREQ(Ril_GetStringA(1), " ");
    EXPECT_EQ(Wide(Ril_GetStringW(7)), u" ");
    EXPECT_EQ(Ril_ReLoadRes(), 0);
    EXPECT_STREQ(Ril_GetStringA(1), "first");
    EXPECT_EQ(Ril_GetLastError(), kErrArgument);
}

} // namespace
} // namespace ril::test
