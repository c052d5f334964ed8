// Holder markers: the size query, the flag rules and appends (to existing files, whole or not).
#include "support/test_support.h"

#include <tuple>

using namespace ril::core;

namespace ril::test {
namespace {

using HolderMarkerTest = LibraryTest;

// The holder info of `path`: result, size and held flag (99 and 7 where left untouched).
std::tuple<RIL_LONG, RIL_ULONG, RIL_ULONG> Info(std::string const &path, char *buffer = nullptr,
                                                RIL_ULONG size = 99) {
    RIL_ULONG held = 7;
    RIL_LONG result =
        Ril_RTEditGetHolderInfo(path.empty() ? nullptr : path.c_str(), buffer, &size, &held);
    return {result, size, held};
}

TEST_F(HolderMarkerTest, SizeQueryAndCopy) {
    auto const base = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Trailer("Holder=ann");
    std::string bin = Put("held.bin", BinBuilder(base).Trailer("hello").Get());
    EXPECT_EQ(Info(bin), std::make_tuple(0, 6u, 1u));
    char buffer[8] = "#######";
    EXPECT_EQ(Info(bin, buffer, 5), std::make_tuple(kErrBufferTooSmall, 6u, 1u));
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(Info(bin, buffer, 6), std::make_tuple(0, 6u, 1u));
    EXPECT_EQ(std::string(buffer, 8), std::string("hello\0#\0", 8));
    // Neither buffer nor size: -102, with the flag already reported.
    RIL_ULONG held = 7;
    EXPECT_EQ(Ril_RTEditGetHolderInfo(bin.c_str(), nullptr, nullptr, &held), kErrArgument);
    EXPECT_EQ(held, 1u);
}

// No path: size 0, held untouched (the tool's runs check a module and a missing file); an
// empty file is flag 1 with an empty text; a text ends at its first zero byte.
TEST_F(HolderMarkerTest, FilesWithoutMarkersAndShortTexts) {
    using Held = std::tuple<RIL_LONG, RIL_ULONG, RIL_ULONG>;
    const Bytes zero = BinBuilder().Header(1, 0, 0).Trailer(std::string("ab\0cd", 5)).Get();
    EXPECT_EQ(
        (std::vector<Held>{Info(""), Info(Put("empty.bin", {})), Info(Put("zero.bin", zero))}),
        (std::vector<Held>{{0, 0u, 7u}, {0, 0u, 1u}, {0, 3u, 1u}}));
}

TEST_F(HolderMarkerTest, AppendingMarkers) {
    Bytes expected = BinBuilder().Header(1, 0, 0).Trailer("first").Get();
    std::string bin = Put("a.bin", expected);
    // A null holder appends three zero bytes: an empty text, the flag still 1.
    ASSERT_EQ((std::vector<RIL_LONG>{Ril_RTEditForceWriteHolderInfo(bin.c_str(), "second!"),
                                     Ril_RTEditForceWriteHolderInfo(bin.c_str(), nullptr)}),
              std::vector<RIL_LONG>(2, 0));
    expected.insert(expected.end(), {'s', 'e', 'c', 'o', 'n', 'd', '!', 7, 0, 0, 0, 0, 0});
    EXPECT_EQ(ReadFile(bin), expected);
    EXPECT_EQ(Info(bin), std::make_tuple(0, 0u, 1u));

    // A missing file is not created (a module deleted meanwhile stays deleted); a flag-0 BIN
    // keeps reporting held 0, its size untouched, with a marker appended behind its entries.
    std::string fresh = dir.File("fresh.bin"), noDir = dir.File("no/such/dir.bin");
    EXPECT_EQ(
        (std::vector<RIL_LONG>{Ril_RTEditForceWriteHolderInfo(fresh.c_str(), "x"),
                               Ril_RTEditForceWriteHolderInfo(noDir.c_str(), "x"),
                               Ril_RTEditForceWriteHolderInfo(nullptr, "x"), FileExists(fresh)}),
        (std::vector<RIL_LONG>{kEFail, kEFail, kEFail, 0}));
    std::string flag0 = Put("flag0.bin", BinBuilder().Header(0, 0, 0).Get());
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(flag0.c_str(), "who"), 0);
    EXPECT_EQ(Info(flag0), std::make_tuple(0, 99u, 0u));

    // A text longer than the 16-bit count can hold is refused whole.
    EXPECT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), std::string(65536, 'h').c_str()),
              kEInvalidArg);
    EXPECT_EQ(ReadFile(bin), expected);
    ASSERT_EQ(Ril_RTEditForceWriteHolderInfo(bin.c_str(), std::string(65535, 'h').c_str()), 0);
    EXPECT_EQ(Info(bin), std::make_tuple(0, 65536u, 1u));
}

} // namespace
} // namespace ril::test
