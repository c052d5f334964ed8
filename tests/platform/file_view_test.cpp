// Whole-file reads into a zero-padded buffer of their own, and their failures.
#include "platform/fault.h"
#include "platform/file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ril::test {
namespace {

using platform::FileView;
using platform::ReadStatus;

// The bytes and the zeros behind them outlive the file being cut short and the view being
// moved; a failure leaves an empty view.
TEST(FileView, FailuresLeaveAnEmptyView) {
    TempDir dir;
    const std::string path = dir.File("f.txt");
    WriteFile(path, std::string("bytes"));
    FileView view;
    ASSERT_EQ(platform::ViewWholeFile(path.c_str(), 3, view), ReadStatus::Ok);
    std::filesystem::resize_file(path, 0);
    FileView moved = std::move(view);
    EXPECT_EQ(std::pair(Bytes(moved.Data(), moved.Data() + 8), moved.Size()),
              std::pair(Bytes{'b', 'y', 't', 'e', 's', 0, 0, 0}, std::size_t{5}));
    WriteFile(path, std::string("bytes"));
    EXPECT_EQ(platform::ViewWholeFile(dir.File("missing").c_str(), 6, view),
              ReadStatus::CannotOpen);
    EXPECT_NE(platform::ViewWholeFile(dir.Path().string().c_str(), 6, view), ReadStatus::Ok);
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
