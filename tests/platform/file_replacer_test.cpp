// The buffered whole-file writer: failures that leave no trace, only-if-changed writes, and
// temporary files that nothing planted can stand in for.
#include "platform/fault.h"
#include "platform/file_replacer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace ril::platform;

namespace ril::test {
namespace {

namespace fs = std::filesystem;
auto const *const kNew = reinterpret_cast<std::uint8_t const *>("new");

std::size_t EntriesIn(TempDir const &dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
}

// An abandoned or a failing writer keeps the file; no folder, or a folder as the target.
TEST(FileReplacer, FailuresKeepThePreviousFile) {
    TempDir dir;
    const std::string target = dir.File("out.bin");
    WriteFile(target, std::string("old"));
    FileReplacer(target.c_str()).Write("new", 3);
    {
        FileReplacer out(target.c_str()); // a piece larger than the buffer fails to be written
        platform::ArmFault(platform::Fault::FileWrite, 1);
        out.Write(Bytes(FileReplacer::kBufferSize + 1, 'x').data(), FileReplacer::kBufferSize + 1);
        EXPECT_EQ(out.Commit(), ReplaceStatus::WriteFailed);
        platform::DisarmAllFaults();
    }
    EXPECT_EQ(std::pair(ReadText(target), EntriesIn(dir)),
              std::pair(std::string("old"), std::size_t{1}));
    // IfChanged: equal bytes leave the target as it was (a 250-byte name, the temporary file
    // having a short name of its own); other bytes replace it.
#ifdef _WIN32
    const std::string same = dir.File("same.bin"); // full paths are limited to 259 characters
#else
    const std::string same = dir.File(std::string(246, 's') + ".bin");
#endif
    WriteFile(same, std::string("new"));
    auto const stamp = fs::last_write_time(same) - std::chrono::hours(48);
    fs::last_write_time(same, stamp);
    auto const before = fs::status(same).permissions();
    for (std::size_t size : {3, 2}) {
        ASSERT_EQ(ReplaceFileContent(same.c_str(), kNew, size, nullptr, ReplaceMode::IfChanged),
                  ReplaceStatus::Ok);
        EXPECT_EQ(
            std::tuple(ReadText(same).size(), fs::last_write_time(same) == stamp, EntriesIn(dir)),
            std::tuple(size, size == 3, std::size_t{2}));
    }
    EXPECT_EQ(fs::status(same).permissions(), before);
    FileReplacer nowhere(dir.File("missing/out.bin").c_str());
    EXPECT_EQ(std::tuple(nowhere.IsOpen(), nowhere.Commit(),
                         ReplaceFileContent(dir.Path().string().c_str(), nullptr, 0)),
              std::tuple(false, ReplaceStatus::CannotOpen, ReplaceStatus::CannotOpen));
}

#ifndef _WIN32
constexpr auto kShared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;

// Sets the umask for one test and restores it.
struct Umask {
    mode_t previous = umask(022);
    ~Umask() { umask(previous); }
};

// Temporary files are made by exclusive creation, which refuses every name that is taken (a
// planted file or link, dangling or not, is never written through); the result has the
// target's mode.
TEST(FileReplacer, TemporaryFilesAreExclusiveAndKeepTheTargetsMode) {
    TempDir dir;
    Umask mask;
    const std::string victim = dir.File("victim.txt"), target = dir.File("out.txt");
    WriteFile(victim, std::string("secret"));
    fs::create_symlink(victim, dir.File("link"));
    fs::create_symlink(dir.File("nowhere"), dir.File("dangling"));
    for (std::string const &name : {dir.File("dangling"), dir.File("link"), victim}) {
        bool taken = false;
        EXPECT_TRUE(!platform::File::CreateNew(name.c_str(), taken).IsOpen() && taken) << name;
    }
    EXPECT_EQ(std::pair(ReadText(victim), fs::exists(dir.File("nowhere"))),
              std::pair(std::string("secret"), false));
    WriteFile(target, std::string("old"));
    fs::permissions(target, kShared);
    ASSERT_EQ(ReplaceFileContent(target.c_str(), kNew, 3), ReplaceStatus::Ok);
    EXPECT_EQ(std::tuple(fs::is_symlink(target), ReadText(target), fs::status(target).permissions(),
                         EntriesIn(dir)),
              std::tuple(false, "new", kShared, std::size_t{4})); // nothing left behind
    // A new target gets 0666 less the umask; a 254-byte name works (the temporary's is short).
    const std::string fresh = dir.File(std::string(250, 'n') + ".txt");
    ASSERT_EQ(ReplaceFileContent(fresh.c_str(), kNew, 1), ReplaceStatus::Ok);
    EXPECT_EQ(fs::status(fresh).permissions(), kShared | fs::perms::others_read);
}

// A symlinked target: the file behind it keeps its mode, the links stay; dangling creates it.
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
    for (char const *link : {"chain", "dangling"}) {
        ASSERT_EQ(ReplaceFileContent(dir.File(link).c_str(), kNew, 3), ReplaceStatus::Ok);
        EXPECT_TRUE(fs::is_symlink(dir.File(link)));
    }
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
    EXPECT_EQ(std::tuple(ReadText(real), fs::status(real).permissions(),
                         ReadText(dir.File("real/new.txt")), EntriesIn(dir)),
              std::tuple("new", kShared, "new", std::size_t{4}));
    fs::create_symlink("loop1", dir.Path() / "loop1");
    EXPECT_EQ(ReplaceFileContent(dir.File("loop1").c_str(), kNew, 3), ReplaceStatus::CannotOpen);
}
#endif

} // namespace
} // namespace ril::test
