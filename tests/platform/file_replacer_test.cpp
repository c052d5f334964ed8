// The buffered whole-file writer: output larger than its buffer, pieces written in place,
// a failure on the way that leaves the target and no temporary file behind, and temporary
// files that nothing planted in the folder can stand in for.
#include "platform/fault.h"
#include "platform/file_replacer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ril::test {
namespace {

namespace fs = std::filesystem;
const auto *const kNew = reinterpret_cast<const std::uint8_t *>("new");

std::size_t EntriesIn(const TempDir &dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
}

// Writes pieces through Write (one of them larger than the buffer) and pieces filled in
// place through Room and Advance; returns what the file must hold.
Bytes WriteSample(FileReplacer &out) {
    Bytes expected;
    for (std::size_t i = 0; i < 3000; ++i) {
        const std::string piece = "line " + std::to_string(i) + "\r\n";
        out.Write(piece.data(), piece.size());
        expected.insert(expected.end(), piece.begin(), piece.end());
        std::memset(out.Room(100), 'a' + static_cast<int>(i % 26), 100);
        out.Advance(60);
        expected.insert(expected.end(), 60, static_cast<std::uint8_t>('a' + i % 26));
    }
    Bytes big(FileReplacer::kBufferSize + 17);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    out.Write(big.data(), big.size());
    expected.insert(expected.end(), big.begin(), big.end());
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
    { // abandoned without a commit
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

#ifndef _WIN32
constexpr auto kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto kShared = kOwnerOnly | fs::perms::group_read;

// Sets the umask for one test and restores it.
class Umask {
  public:
    explicit Umask(mode_t mask) : previous_(umask(mask)) {}
    ~Umask() { umask(previous_); }

  private:
    mode_t previous_;
};

// Another user who can write to the folder plants links and files under temporary names
// (those of an earlier, predictable scheme, .ril~<pid>-<n>.tmp): a writer never writes
// through a link nor adopts a planted file, and the result has the target's mode.
TEST(FileReplacer, PlantedLinksAndFilesAreNeverUsed) {
    TempDir dir;
    Umask mask(022);
    const std::string victim = dir.File("victim.txt");
    WriteFile(victim, std::string("secret"));
    fs::permissions(victim, kOwnerOnly);
    const auto planted = [&](int n) {
        return dir.File(".ril~" + std::to_string(getpid()) + "-" + std::to_string(n) + ".tmp");
    };
    for (int n = 1; n <= 32; ++n) {
        if (n % 2 == 1) {
            fs::create_symlink(victim, planted(n));
        } else {
            WriteFile(planted(n), std::string("planted"));
            fs::permissions(planted(n), fs::perms::all & ~fs::perms::others_exec &
                                            ~fs::perms::group_exec & ~fs::perms::owner_exec);
        }
    }
    const std::string target = dir.File("out.txt");
    WriteFile(target, std::string("old"));
    fs::permissions(target, kShared);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(ReplaceFileContent(target.c_str(), kNew, 3), ReplaceStatus::Ok);
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(ReadFile(target), Bytes({'n', 'e', 'w'}));
    EXPECT_EQ(fs::status(target).permissions(), kShared); // the target keeps its mode
    EXPECT_EQ(ReadFile(victim), Bytes({'s', 'e', 'c', 'r', 'e', 't'}));
    EXPECT_EQ(fs::status(victim).permissions(), kOwnerOnly);
    for (int n = 2; n <= 32; n += 2)
        EXPECT_EQ(ReadFile(planted(n)), Bytes({'p', 'l', 'a', 'n', 't', 'e', 'd'}));
    EXPECT_EQ(EntriesIn(dir), 34u); // nothing left behind, nothing taken away
    // A new target gets the mode of a plain create: 0666 less the umask. A legal 254-byte
    // name works: the temporary file's name does not grow with it.
    const std::string fresh = dir.File(std::string(250, 'n') + ".txt");
    ASSERT_EQ(ReplaceFileContent(fresh.c_str(), kNew, 1), ReplaceStatus::Ok);
    EXPECT_EQ(fs::status(fresh).permissions(), kShared | fs::perms::others_read);
    // Exclusive creation refuses every name that is taken, a dangling link included.
    const std::string dangling = dir.File("dangling");
    fs::create_symlink(dir.File("nowhere"), dangling);
    for (const std::string &name : {dangling, victim}) {
        bool taken = false;
        EXPECT_FALSE(platform::File::CreateNew(name.c_str(), taken).IsOpen());
        EXPECT_TRUE(taken);
    }
    EXPECT_FALSE(fs::exists(dir.File("nowhere")));
}

// A target that is a symbolic link (or a chain of them): the file it leads to is replaced
// and keeps its mode, the links stay; a dangling link creates the file it names.
TEST(FileReplacer, ASymlinkedTargetIsReplacedBehindItsLinks) {
    TempDir dir;
    Umask mask(022);
    fs::create_directory(dir.Path() / "real");
    const std::string real = dir.File("real/file.txt");
    WriteFile(real, std::string("old"));
    fs::permissions(real, kShared);
    fs::create_symlink("real/file.txt", dir.Path() / "link");
    fs::create_symlink(dir.File("link"), dir.Path() / "chain");
    ASSERT_EQ(ReplaceFileContent(dir.File("chain").c_str(), kNew, 3), ReplaceStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(dir.File("chain")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
    EXPECT_EQ(ReadFile(real), Bytes({'n', 'e', 'w'}));
    EXPECT_EQ(fs::status(real).permissions(), kShared);
    EXPECT_EQ(EntriesIn(dir), 3u);

    fs::create_symlink("real/new.txt", dir.Path() / "dangling");
    ASSERT_EQ(ReplaceFileContent(dir.File("dangling").c_str(), kNew, 3), ReplaceStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling")));
    EXPECT_EQ(ReadFile(dir.File("real/new.txt")), Bytes({'n', 'e', 'w'}));

    fs::create_symlink("loop2", dir.Path() / "loop1");
    fs::create_symlink("loop1", dir.Path() / "loop2");
    EXPECT_EQ(ReplaceFileContent(dir.File("loop1").c_str(), kNew, 3), ReplaceStatus::CannotOpen);
}
#endif

} // namespace
} // namespace ril::test
