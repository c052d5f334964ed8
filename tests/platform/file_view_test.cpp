// Whole-file views: mapped where the zeros behind the end fit in the last page, read into a
// buffer otherwise, with the same bytes, the same zeros and the same failures either way.
#include "platform/fault.h"
#include "platform/file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace ril::test {
namespace {

using platform::FileView;
using platform::ReadStatus;

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251 + 1); // never zero
    return bytes;
}

TEST(FileView, EverySizeGivesTheBytesAndTheZerosBehindThem) {
    TempDir dir;
    const std::size_t page = platform::MappingPageSize();
    // Mapped (room in the last page), read (no room, or a whole number of pages), empty.
    for (std::size_t size :
         {std::size_t{5}, page - 6, page - 5, page, 3 * page + 100, std::size_t{0}}) {
        const std::string path = dir.File("f" + std::to_string(size));
        const Bytes bytes = Pattern(size);
        WriteFile(path, bytes);
        for (std::size_t padding : {std::size_t{0}, std::size_t{6}}) {
            FileView view;
            ASSERT_EQ(platform::ViewWholeFile(path.c_str(), padding, view), ReadStatus::Ok);
            ASSERT_EQ(view.Size(), size);
            ASSERT_NE(view.Data(), nullptr);
            EXPECT_EQ(Bytes(view.Data(), view.Data() + size), bytes) << size;
            for (std::size_t i = 0; i < padding; ++i)
                EXPECT_EQ(view.Data()[size + i], 0) << size << " " << i;
            // Writable without touching the file.
            if (size > 0)
                view.Data()[0] = 0;
            FileView moved = std::move(view);
            EXPECT_EQ(moved.Size(), size);
        }
        EXPECT_EQ(ReadFile(path), bytes);
    }
}

TEST(FileView, FailuresLeaveAnEmptyView) {
    TempDir dir;
    const std::string path = dir.File("f.txt");
    WriteFile(path, Pattern(100));
    FileView view;
    EXPECT_EQ(platform::ViewWholeFile(dir.File("missing").c_str(), 6, view),
              ReadStatus::CannotOpen);
    EXPECT_NE(platform::ViewWholeFile(dir.Path().string().c_str(), 6, view), ReadStatus::Ok);
    EXPECT_EQ(view.Size(), 0u);
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(platform::ViewWholeFile(path.c_str(), 6, view), ReadStatus::NoMemory);
    // The mapping stands for the read, and so does the read of a buffer.
    for (std::size_t padding : {std::size_t{6}, platform::MappingPageSize()}) {
        platform::ArmFault(platform::Fault::FileRead, 1);
        EXPECT_EQ(platform::ViewWholeFile(path.c_str(), padding, view), ReadStatus::ReadFailed);
        EXPECT_EQ(view.Size(), 0u);
        EXPECT_EQ(view.Data(), nullptr);
    }
    platform::DisarmAllFaults();
}

} // namespace
} // namespace ril::test
