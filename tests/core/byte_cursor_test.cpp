// The byte cursor's reader: reads past the end fail whole and leave the reader failed.
#include "core/byte_cursor.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace ril::core;

namespace ril {
namespace {

TEST(ByteCursorTest, ReadsFailWholeAndStayFailed) {
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    ByteReader reader(bytes, sizeof bytes);
    std::uint16_t u16 = 0;
    std::uint32_t u32 = 0;
    ASSERT_TRUE(reader.ReadU16(u16) && reader.ReadU32(u32));
    EXPECT_EQ(std::make_tuple(u16, u32, reader.Remaining()),
              std::make_tuple(std::uint16_t(0x0201), 0x06050403u, std::size_t(1)));

    u32 = 0xAAAAAAAAu; // a read that cannot be satisfied keeps the preset
    EXPECT_FALSE(reader.ReadU32(u32));
    EXPECT_EQ(std::make_tuple(u32, reader.Offset(), reader.Ok()),
              std::make_tuple(0xAAAAAAAAu, sizeof bytes, false));

    // Each kind of access at the end of a 3-byte input.
    // clang-format off
    const std::pair<std::string, bool (*)(ByteReader &)> rows[] = { // what, the access
        {"u8", [](ByteReader &r) { std::uint8_t v; return r.ReadU8(v); }},
        {"u64", [](ByteReader &r) { std::uint64_t v; return r.ReadU64(v); }},
        {"bytes", [](ByteReader &r) { std::uint8_t v[4]; return r.ReadBytes(v, 4); }},
        {"skip", [](ByteReader &r) { return r.Skip(4); }},
        {"seek", [](ByteReader &r) { return r.Seek(4); }},
        {"at", [](ByteReader &r) { return r.U32At(1) == 0 && r.SliceAt(3, 1).empty(); }},
    };
    // clang-format on
    for (auto const &[what, access] : rows) {
        ByteReader three(bytes, 3);
        ASSERT_TRUE(three.Skip(3));
        EXPECT_TRUE(access(three) == (what == "at")) << what;
        EXPECT_FALSE(three.Ok()) << what;
    }
    ByteReader whole(bytes, sizeof bytes);
    EXPECT_EQ(whole.U64At(0) & 0xFF, 0u); // 8 bytes at 0 do not fit 7
    EXPECT_FALSE(whole.Ok());
    ByteReader seek(bytes, sizeof bytes);
    EXPECT_TRUE(seek.Seek(7) && seek.Remaining() == 0 && seek.Ok());
    EXPECT_EQ(seek.U16At(5), 0x0706);
}

} // namespace
} // namespace ril
