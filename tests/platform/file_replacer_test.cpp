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
    EXPECT_EQ(ReadText(target), "old"); // untouched until the commit
    ASSERT_EQ(out.Commit(), ReplaceStatus::Ok);
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(EntriesIn(dir), 1u);
}

// The second block written fails (every later piece is dropped and the commit fails), or the
// writer is abandoned without a commit; no folder to write into, or a folder as the target.
TEST(FileReplacer, FailuresKeepThePreviousFile) {
    TempDir dir;
    const std::string target = dir.File("out.bin");
    WriteFile(target, std::string("old"));
    {
        FileReplacer out(target.c_str());
        ASSERT_TRUE(out.IsOpen());
        platform::ArmFault(platform::Fault::FileWrite, 2);
        WriteSample(out);
        EXPECT_EQ(out.Commit(), ReplaceStatus::WriteFailed);
        platform::DisarmAllFaults();
    }
    FileReplacer(target.c_str()).Write("new", 3);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(EntriesIn(dir), 1u);
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
struct Umask {
    mode_t previous = umask(022);
    ~Umask() { umask(previous); }
};

// Another user who can write to the folder plants links and files under temporary names
// (those of an earlier, predictable scheme, .ril~<pid>-<n>.tmp): a writer never writes
// through a link nor adopts a planted file, and the result has the target's mode.
TEST(FileReplacer, PlantedLinksAndFilesAreNeverUsed) {
    TempDir dir;
    Umask mask;
    const std::string victim = dir.File("victim.txt"), target = dir.File("out.txt");
    WriteFile(victim, std::string("secret"));
    fs::permissions(victim, kOwnerOnly);
    const auto planted = [&](int n) {
        return dir.File(".ril~" + std::to_string(getpid()) + "-" + std::to_string(n) + ".tmp");
    };
    for (int n = 1; n <= 32; n += 2) { // links to the victim, and world-writable files
        fs::create_symlink(victim, planted(n));
        WriteFile(planted(n + 1), std::string("planted"));
        fs::permissions(planted(n + 1),
                        fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                           fs::perms::others_exec));
    }
    WriteFile(target, std::string("old"));
    fs::permissions(target, kShared);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(ReplaceFileContent(target.c_str(), kNew, 3), ReplaceStatus::Ok);
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(std::tuple(ReadText(target), fs::status(target).permissions(), ReadText(victim),
                         fs::status(victim).permissions()),
              std::tuple("new", kShared, "secret", kOwnerOnly)); // the target keeps its mode
    for (int n = 2; n <= 32; n += 2)
        EXPECT_EQ(ReadText(planted(n)), "planted");
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
    Umask mask;
    fs::create_directory(dir.Path() / "real");
    const std::string real = dir.File("real/file.txt");
    WriteFile(real, std::string("old"));
    fs::permissions(real, kShared);
    fs::create_symlink("real/file.txt", dir.Path() / "link");
    fs::create_symlink(dir.File("link"), dir.Path() / "chain");
    fs::create_symlink("real/new.txt", dir.Path() / "dangling");
    for (const char *link : {"chain", "dangling"}) {
        ASSERT_EQ(ReplaceFileContent(dir.File(link).c_str(), kNew, 3), ReplaceStatus::Ok);
        EXPECT_TRUE(fs::is_symlink(dir.File(link)));
    }
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
    EXPECT_EQ(std::tuple(ReadText(real), fs::status(real).permissions(),
                         ReadText(dir.File("real/new.txt")), EntriesIn(dir)),
              std::tuple("new", kShared, "new", std::size_t{4}));
    fs::create_symlink("loop2", dir.Path() / "loop1");
    fs::create_symlink("loop1", dir.Path() / "loop2");
    EXPECT_EQ(ReplaceFileContent(dir.File("loop1").c_str(), kNew, 3), ReplaceStatus::CannotOpen);
}
#endif

} // namespace
} // namespace ril::test
