// Holder markers: the size-query protocol, the flag rules and appending markers (to existing
// files only, whole or not at all).
#include "platform/fault.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ril::test {
namespace {

constexpr RIL_LONG kEFail = static_cast<RIL_LONG>(0x80004005u);
constexpr RIL_LONG kEOutOfMemory = static_cast<RIL_LONG>(0x8007000Eu);
constexpr RIL_LONG kEInvalidArg = static_cast<RIL_LONG>(0x80070057u);

class HolderMarkerTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::DisarmAllFaults(); }
    std::string Put(const std::string &name, const Bytes &bytes) {
        std::string path = dir.File(name);
        WriteFile(path, bytes);
        return path;
    }
    TempDir dir;
};

TEST_F(HolderMarkerTest, SizeQueryAndCopy) {
    std::string bin = Put("held.bin", BinBuilder()
                                          .Header(1, 1, 1)
                                          .EntryA(1, "A", "a")
                                          .Trailer("Holder=ann")
                                          .Trailer("hello")
                                          .Get());
    RIL_ULONG size = 99;
    RIL_ULONG held = 7;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(held, 1u);

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    size = 5;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), buffer, &size, nullptr), -110);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buffer[0], '#');
    size = 6;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), buffer, &size, nullptr), 0);
    EXPECT_EQ(std::memcmp(buffer, "hello\0#", 7), 0);
    EXPECT_EQ(size, 6u);

    // Neither buffer nor size: -102, with the flag already reported.
    held = 7;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), nullptr, nullptr, &held), -102);
    EXPECT_EQ(held, 1u);
}

TEST_F(HolderMarkerTest, FlagsAndFilesWithoutMarkers) {
    RIL_ULONG size = 99;
    RIL_ULONG held = 7;
    // Flag 0: held 0, size untouched, even with a marker appended behind the entries.
    std::string flag0 = Put("flag0.bin", BinBuilder().Header(0, 0, 0).Trailer("ghost").Get());
    EXPECT_EQ(Ril_RTEditGetHolderInfo(flag0.c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(held, 0u);
    EXPECT_EQ(size, 99u);
    // A first word of 2 or more (a module starts "MZ"): size 0, held untouched.
    held = 7;
    std::string module = Put("module.dll", Bytes{'M', 'Z', 0x90, 0, 3, 0, 0, 0});
    EXPECT_EQ(Ril_RTEditGetHolderInfo(module.c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(held, 7u);
    // A missing file or a null path: size 0.
    size = 99;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(dir.File("missing").c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(size, 0u);
    size = 99;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(nullptr, nullptr, &size, nullptr), 0);
    EXPECT_EQ(size, 0u);
    // An empty file counts as flag 1 with an empty text.
    size = 99;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(Put("empty.bin", {}).c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(held, 1u);
    // The text ends at its first zero byte.
    std::string zero =
        Put("zero.bin", BinBuilder().Header(1, 0, 0).Trailer(std::string("ab\0cd", 5)).Get());
    EXPECT_EQ(Ril_RTEditGetHolderInfo(zero.c_str(), nullptr, &size, nullptr), 0);
    EXPECT_EQ(size, 3u);
}

TEST_F(HolderMarkerTest, AppendingMarkers) {
    Bytes original = BinBuilder().Header(1, 0, 0).Trailer("first").Get();
    std::string bin = Put("a.bin", original);
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), "second!"), 0);
    Bytes expected = original;
    for (char c : std::string("second!\x07\x00\x00", 10))
        expected.push_back(static_cast<std::uint8_t>(c));
    EXPECT_EQ(ReadFile(bin), expected);
    char buffer[16];
    RIL_ULONG size = sizeof buffer;
    ASSERT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), buffer, &size, nullptr), 0);
    EXPECT_STREQ(buffer, "second!");

    // A null holder appends three zero bytes: an empty text, the flag still 1.
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), nullptr), 0);
    EXPECT_EQ(ReadFile(bin).size(), expected.size() + 3);
    RIL_ULONG held = 0;
    size = 99;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(held, 1u);

    // A missing file is not created (a module deleted meanwhile stays deleted); a flag-0 BIN
    // keeps reporting 0.
    std::string fresh = dir.File("fresh.bin");
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(fresh.c_str(), "x"), kEFail);
    EXPECT_FALSE(FileExists(fresh));
    std::string flag0 = Put("flag0.bin", BinBuilder().Header(0, 0, 0).Get());
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(flag0.c_str(), "who"), 0);
    EXPECT_EQ(Ril_RTEditGetHolderInfo(flag0.c_str(), nullptr, &size, &held), 0);
    EXPECT_EQ(held, 0u);
}

TEST_F(HolderMarkerTest, AppendFailures) {
    std::string bin = Put("keep.bin", BinBuilder().Header(1, 0, 0).Trailer("h").Get());
    Bytes before = ReadFile(bin);
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(dir.File("no/such/dir.bin").c_str(), "x"), kEFail);
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(nullptr, "x"), kEFail);
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), "x"), kEOutOfMemory);
    // A marker written part way, or whose close fails, is cut off again.
    for (platform::Fault fault : {platform::Fault::FileWrite, platform::Fault::FileClose}) {
        platform::ArmFault(fault, 1);
        EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), "0123456789"), kEFail);
        EXPECT_EQ(ReadFile(bin), before);
    }
    // A text longer than the 16-bit count can hold is refused whole.
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), std::string(65536, 'h').c_str()),
              kEInvalidArg);
    EXPECT_EQ(ReadFile(bin), before);
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), std::string(65535, 'h').c_str()), 0);
    RIL_ULONG size = 0;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), nullptr, &size, nullptr), 0);
    EXPECT_EQ(size, 65536u);
}

#ifndef _WIN32
// A real limit: the file may grow by 5 bytes, so a 13-byte marker is written in part and the
// write then fails (EFBIG, with SIGXFSZ ignored as the tool does), as on a full disk.
TEST_F(HolderMarkerTest, AMarkerPastAFileSizeLimitLeavesTheFileAsItWas) {
    const Bytes before = BinBuilder().Header(1, 0, 0).Trailer("previous").Get();
    std::string bin = Put("limited.bin", before);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = before.size() + 5;
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(Ril_RTEditForceWriteHolderInfo(bin.c_str(), "new holder") == kEFail ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(bin), before);
    char buffer[16];
    RIL_ULONG size = sizeof buffer;
    ASSERT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), buffer, &size, nullptr), 0);
    EXPECT_STREQ(buffer, "previous");
}
#endif

} // namespace
} // namespace ril::test
