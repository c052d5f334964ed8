// The byte writer: writes fill the planned buffer in order, and one that does not fit writes
// nothing and fails the writer for good, so a layout and its filling that disagree show.
#include "core/byte_cursor.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ByteCursorTest, WritesFillThePlannedBufferOnly) {
    std::vector<std::uint8_t> buffer(4, 0xEE);
    ril::core::ByteWriter writer(buffer);
    writer.U16(0x0201);
    EXPECT_FALSE(writer.Complete()); // 2 of 4 bytes written
    writer.U16(0x0403);
    EXPECT_TRUE(writer.Complete());
    writer.U8(0xFF); // past the end: nothing written, the writer failed
    EXPECT_FALSE(writer.Ok() || writer.Complete());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}
