// The buffered whole-file writer: output larger than its buffer, pieces written in place,
// and a failure on the way that leaves the target and no temporary file behind.
#include "platform/fault.h"
#include "support/test_support.h"
#include "util/file_replacer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace ril::test {
namespace {

std::size_t EntriesIn(const TempDir &dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.Path()))
        ++n;
    return n;
}

// Writes `total` bytes: pieces through Write (one of them larger than the buffer) and
// pieces filled in place through Room and Advance.
Bytes WriteSample(FileReplacer &out) {
    Bytes expected;
    for (std::size_t i = 0; i < 3000; ++i) {
        const std::string piece = "line " + std::to_string(i) + "\r\n";
        out.Write(piece.data(), piece.size());
        expected.insert(expected.end(), piece.begin(), piece.end());
        char *room = out.Room(100);
        std::memset(room, 'a' + static_cast<int>(i % 26), 100);
        out.Advance(60);
        expected.insert(expected.end(), 60, static_cast<std::uint8_t>('a' + i % 26));
    }
    Bytes big(FileReplacer::kBufferSize + 17);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    out.Write(big.data(), big.size());
    expected.insert(expected.end(), big.begin(), big.end());
    out.Write("end", 3);
    expected.insert(expected.end(), {'e', 'n', 'd'});
    return expected;
}

TEST(FileReplacer, WritesEveryPieceInOrderAndReplacesTheTarget) {
    TempDir dir;
    const std::string target = dir.File("out.bin");
    WriteFile(target, std::string("old"));
    FileReplacer out(target.c_str());
    ASSERT_TRUE(out.IsOpen());
    Bytes expected = WriteSample(out);
    EXPECT_EQ(ReadFile(target), Bytes({'o', 'l', 'd'})); // untouched until the commit
    ASSERT_EQ(out.Commit(), ReplaceStatus::Ok);
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(EntriesIn(dir), 1u);
}

TEST(FileReplacer, ReplacingBehavesLikeWritingInPlace) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX names and modes";
#else
    namespace fs = std::filesystem;
    TempDir dir;
    // A legal 254-byte name: the temporary file's name does not grow with it.
    const std::string longName = dir.File(std::string(250, 'n') + ".txt");
    EXPECT_EQ(ReplaceFileContent(longName.c_str(), reinterpret_cast<const std::uint8_t *>("x"), 1),
              ReplaceStatus::Ok);
    // The target keeps its permissions.
    const std::string target = dir.File("out.txt");
    WriteFile(target, std::string("old"));
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);
    EXPECT_EQ(ReplaceFileContent(target.c_str(), reinterpret_cast<const std::uint8_t *>("new"), 3),
              ReplaceStatus::Ok);
    EXPECT_EQ(fs::status(target).permissions(), mode);
    EXPECT_EQ(ReadFile(target), Bytes({'n', 'e', 'w'}));
#endif
}

TEST(FileReplacer, FailuresKeepThePreviousFile) {
    TempDir dir;
    const std::string target = dir.File("out.bin");
    WriteFile(target, std::string("old"));
    // The second block written fails: every later piece is dropped and the commit fails.
    {
        FileReplacer out(target.c_str());
        ASSERT_TRUE(out.IsOpen());
        platform::ArmFault(platform::Fault::FileWrite, 2);
        WriteSample(out);
        EXPECT_EQ(out.Commit(), ReplaceStatus::WriteFailed);
        platform::DisarmAllFaults();
    }
    EXPECT_EQ(ReadFile(target), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(EntriesIn(dir), 1u);
    // Abandoned without a commit.
    {
        FileReplacer out(target.c_str());
        out.Write("new", 3);
    }
    EXPECT_EQ(ReadFile(target), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(EntriesIn(dir), 1u);
    // No folder to write into, or a folder as the target.
    FileReplacer nowhere(dir.File("missing/out.bin").c_str());
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_EQ(nowhere.Commit(), ReplaceStatus::CannotOpen);
    EXPECT_EQ(ReplaceFileContent(dir.Path().string().c_str(), nullptr, 0),
              ReplaceStatus::CannotOpen);
}

} // namespace
} // namespace ril::test
