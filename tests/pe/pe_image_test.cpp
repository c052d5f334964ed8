// Tests of PE header parsing and validation, RVA mapping and the checksum, over hand-made
// files (the MinGW modules are parsed by every reader and writer test).
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ril::platform::pe;
using namespace ril::pe_test;
using Offsets = std::vector<std::optional<std::uint64_t>>;

// Offsets in files made by BuildPe.
constexpr std::size_t kCoff = 0x44, kOptional = kCoff + 20, kSections = kOptional + 240;

Bytes SmallPe() {
    return MakeHandTree({1}, {"x"}).Pe();
}

// .rsrc: raw bytes 0x400-0x600 at RVA 0x2000; one byte past them (zeros in memory), the
// headers and a wrapping range map nowhere.
TEST(PeImage, MapsRvasToRawBytesOnly) {
    const Image image = ParseImage(SmallPe()).value();
    ASSERT_EQ(image.sections.size(), 2u);
    EXPECT_EQ((Offsets{image.FileOffsetOf(0x2004, 8), image.FileOffsetOf(0x2000, 0x200),
                       image.FileOffsetOf(0x2000, 0x201), image.FileOffsetOf(0x2200, 1),
                       image.FileOffsetOf(0x10, 4), image.FileOffsetOf(0xFFFFFFF0, 0x20),
                       image.RawEndOfSectionAt(0x2001)}),
              (Offsets{0x404, 0x400, {}, {}, {}, {}, 0x600}));
    EXPECT_EQ(std::tuple(image.SectionOfRva(0x1000), image.SectionOfRva(0x1800),
                         image.Directory(20).size), // no such entry
              std::tuple(std::optional<std::size_t>(0), std::optional<std::size_t>(), 0u));
}

TEST(PeImage, ChecksumOfOddLengthsAndTheFieldItself) {
    // The field's bytes count as zero; an odd last byte is the low byte of a final word.
    EXPECT_EQ(ComputeCheckSum(Bytes{0x01, 0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x03}, 2), 0x0204u + 7u);
    // 0xFFFF + 0xFFFF folds to 0xFFFF.
    EXPECT_EQ(ComputeCheckSum(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, 4), 0xFFFFu + 8u);
}

// Each case damages a valid file in one way, or cuts it short; none may parse.
TEST(PeImage, RejectsMalformedHeaders) {
    const Bytes good = SmallPe();
    ASSERT_TRUE(ParseImage(good));
    const std::size_t rsrc = kSections + 40, directories = kOptional + 112;
    const std::vector<std::pair<const char *, std::function<void(Bytes &)>>> cases = {
        {"no MZ", [](Bytes &f) { f[0] = 'X'; }},
        {"e_lfanew past the end", [](Bytes &f) { PutU32(f, 0x3C, 0xFFFFFFF0); }},
        {"no PE signature", [](Bytes &f) { f[0x41] = 'X'; }},
        {"unknown magic", [](Bytes &f) { PutU16(f, kOptional, 0x107); }},
        {"no sections", [](Bytes &f) { PutU16(f, kCoff + 2, 0); }},
        {"97 sections", [](Bytes &f) { PutU16(f, kCoff + 2, 97); }},
        {"optional header too small", [](Bytes &f) { PutU16(f, kCoff + 16, 100); }},
        {"two directories", [](Bytes &f) { PutU32(f, kOptional + 108, 2); }},
        {"directories beyond the header", [](Bytes &f) { PutU16(f, kCoff + 16, 112 + 8 * 10); }},
        {"FileAlignment not a power of two", [](Bytes &f) { PutU32(f, kOptional + 36, 0x300); }},
        {"SectionAlignment < FileAlignment", [](Bytes &f) { PutU32(f, kOptional + 32, 0x100); }},
        {"section table past SizeOfHeaders", [](Bytes &f) { PutU32(f, kOptional + 60, 0x100); }},
        {"raw data past the end", [](Bytes &f) { PutU32(f, rsrc + 16, 0x10000); }},
        {"raw range wrapping", [](Bytes &f) { PutU32(f, rsrc + 20, 0xFFFFFE00); }},
        {"unaligned RVA", [](Bytes &f) { PutU32(f, rsrc + 12, 0x2100); }},
        {"descending RVAs", [](Bytes &f) { PutU32(f, rsrc + 12, 0x1000); }},
        {"overlapping RVAs", [](Bytes &f) { PutU32(f, kSections + 8, 0x1001); }},
        {"SizeOfImage too small", [](Bytes &f) { PutU32(f, kOptional + 56, 0x2000); }},
        {"resources outside every section", [](Bytes &f) { PutU32(f, directories + 16, 0x8000); }},
        {"resources past their raw data", [](Bytes &f) { PutU32(f, directories + 20, 0x201); }},
        {"resources wrapping", [](Bytes &f) { PutU32(f, directories + 20, 0xFFFFF000); }},
    };
    for (const auto &[what, damage] : cases) {
        Bytes file = good;
        damage(file);
        EXPECT_FALSE(ParseImage(file)) << what;
    }
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ParseImage(std::span(good.data(), length))) << "truncated to " << length;
}

} // namespace
