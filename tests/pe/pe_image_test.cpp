// Tests of PE header parsing and validation and of the checksum, over hand-made files (the
// MinGW modules are parsed by every reader and writer test).
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ril::pe;
using namespace ril::pe_test;

// Offsets in files made by BuildPe, and a small one.
constexpr std::size_t kCoff = 0x44, kOptional = kCoff + 20, kSections = kOptional + 240;
const Bytes kSmallPe = MakeHandTree({1}, {"x"}).Pe();

TEST(PeImage, ChecksumOfOddLengthsAndTheFieldItself) {
    // The field's bytes count as zero; an odd last byte is the low byte of a final word.
    EXPECT_EQ(ComputeCheckSum(Bytes{0x01, 0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x03}, 2), 0x0204u + 7u);
    // 0xFFFF + 0xFFFF folds to 0xFFFF.
    EXPECT_EQ(ComputeCheckSum(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, 4), 0xFFFFu + 8u);
}

// One damage per check (the fuzzer owns the breadth), or a file cut short: none may parse.
TEST(PeImage, RejectsMalformedHeaders) {
    Bytes const &good = kSmallPe;
    ASSERT_TRUE(ParseImage(good));
    const std::size_t rsrc = kSections + 40, directories = kOptional + 112;
    const std::vector<std::pair<char const *, std::function<void(Bytes &)>>> cases = {
        {"no sections", [](Bytes &f) { PutU16(f, kCoff + 2, 0); }},
        {"optional header too small", [](Bytes &f) { PutU16(f, kCoff + 16, 100); }},
        {"directories beyond the header", [](Bytes &f) { PutU16(f, kCoff + 16, 112 + 8 * 10); }},
        {"FileAlignment not a power of two", [](Bytes &f) { PutU32(f, kOptional + 36, 0x300); }},
        {"section table past SizeOfHeaders", [](Bytes &f) { PutU32(f, kOptional + 60, 0x100); }},
        {"raw data past the end", [](Bytes &f) { PutU32(f, rsrc + 16, 0x10000); }},
        {"overlapping RVAs", [](Bytes &f) { PutU32(f, kSections + 8, 0x1001); }},
        {"an RVA not aligned", [](Bytes &f) { PutU32(f, kSections + 12, 0x1800); }},
        {"SizeOfImage too small", [](Bytes &f) { PutU32(f, kOptional + 56, 0x2000); }},
        {"resources past their raw data", [](Bytes &f) { PutU32(f, directories + 20, 0x201); }},
    };
    for (auto const &[what, damage] : cases) {
        Bytes file = good;
        damage(file);
        EXPECT_FALSE(ParseImage(file)) << what;
    }
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ParseImage(std::span(good.data(), length))) << "truncated to " << length;
}

} // namespace
