// Whole-file reads into a zero-padded buffer of their own.
#include "platform/fault.h"
#include "platform/file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

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

// Empty, small and large files, ends on and off page boundaries; the bytes outlive the file
// being cut short by another process.
TEST(FileView, EverySizeGivesTheBytesAndTheZerosBehindThem) {
    TempDir dir;
    for (std::size_t size : {0, 5, 4090, 4096, 65536 - 100, (2 << 20) + 3})
        for (std::size_t padding : {0, 6}) {
            const std::string path = dir.File("f" + std::to_string(size));
            Bytes expected = Pattern(size);
            WriteFile(path, expected);
            FileView view;
            ASSERT_EQ(platform::ViewWholeFile(path.c_str(), padding, view), ReadStatus::Ok);
            std::filesystem::resize_file(path, 0);
            ASSERT_NE(view.Data(), nullptr);
            FileView moved = std::move(view);
            expected.resize(size + padding, 0);
            EXPECT_EQ(moved.Size(), size);
            EXPECT_EQ(Bytes(moved.Data(), moved.Data() + size + padding), expected) << size;
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
    platform::ArmFault(platform::Fault::FileRead, 1);
    EXPECT_EQ(platform::ViewWholeFile(path.c_str(), 6, view), ReadStatus::ReadFailed);
    EXPECT_EQ(std::pair(view.Size(), view.Data()),
              std::pair(std::size_t{0}, static_cast<std::uint8_t *>(nullptr)));
    platform::DisarmAllFaults();
}

} // namespace
} // namespace ril::test
