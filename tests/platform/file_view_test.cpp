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

TEST(FileView, EverySizeGivesTheBytesAndTheZerosBehindThem) {
    TempDir dir;
    // Empty, small and large files, ends on and off page boundaries.
    for (std::size_t size : {std::size_t{0}, std::size_t{5}, std::size_t{4090}, std::size_t{4096},
                             (std::size_t{2} << 20) + 3}) {
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
            FileView moved = std::move(view);
            EXPECT_EQ(moved.Size(), size);
        }
    }
}

TEST(FileView, TheBytesOutliveTheFileBeingCutShort) {
    TempDir dir;
    const std::string path = dir.File("f.txt");
    const Bytes bytes = Pattern(65536 - 100); // the padding fits behind the end in its page
    WriteFile(path, bytes);
    FileView view;
    ASSERT_EQ(platform::ViewWholeFile(path.c_str(), 6, view), ReadStatus::Ok);
    std::filesystem::resize_file(path, 0); // another process cuts the file meanwhile
    ASSERT_EQ(view.Size(), bytes.size());
    EXPECT_EQ(Bytes(view.Data(), view.Data() + view.Size()), bytes);
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
    EXPECT_EQ(view.Size(), 0u);
    EXPECT_EQ(view.Data(), nullptr);
    platform::DisarmAllFaults();
}

} // namespace
} // namespace ril::test
