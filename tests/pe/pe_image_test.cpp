// Tests of PE header parsing and validation, RVA mapping and the checksum, over the MinGW
// modules and hand-made files.
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ril::platform::pe;
using namespace ril::pe_test;

// Offsets in files made by BuildPe (e_lfanew 0x40).
constexpr std::size_t kCoff = 0x44;
constexpr std::size_t kOptional = kCoff + 20;
constexpr std::size_t kSections = kOptional + 240;

Bytes SmallPe() {
    return SimplePe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes);
}

TEST(PeImage, ParsesTheMinGwModulesOfBothKinds) {
    REQUIRE_FIXTURES("64");
    for (const char *name : {"mid64.dll", "mid32.dll"}) {
        if (std::string(name) == "mid32.dll" && !HaveFixtures("32"))
            continue;
        SCOPED_TRACE(name);
        Bytes file = ReadFile(FixturePath(name));
        std::optional<Image> image = ParseImage(file);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pe32Plus, std::string(name) == "mid64.dll");
        EXPECT_EQ(image->fileAlignment, 0x200u);
        EXPECT_EQ(image->sectionAlignment, 0x1000u);
        EXPECT_EQ(image->directoryCount, 16u);
        // The resource directory starts the .rsrc section.
        EXPECT_EQ(image->DirectoryEntryOffset(kDirectoryResource),
                  image->pe32Plus ? 0x118u : 0x108u);
        DataDirectory resources = image->Directory(kDirectoryResource);
        std::optional<std::size_t> index = image->SectionOfRva(resources.rva);
        ASSERT_TRUE(index);
        const Section &rsrc = image->sections[*index];
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(&file[rsrc.headerOffset]), 5),
                  ".rsrc");
        EXPECT_EQ(resources.rva, rsrc.virtualAddress);
        EXPECT_EQ(image->FileOffsetOf(resources.rva, resources.size), rsrc.rawOffset);
        // ld fills in the checksum: the same algorithm must reproduce it.
        EXPECT_EQ(ComputeCheckSum(file, image->CheckSumOffset()), GetU32(file, 0xD8));
    }
}

TEST(PeImage, MapsRvasToRawBytesOnly) {
    Bytes file = SmallPe();
    std::optional<Image> image = ParseImage(file);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->sections.size(), 2u);
    const Section &rsrc = image->sections[1];
    EXPECT_EQ(image->FileOffsetOf(kHandResourceRva + 4, 8), rsrc.rawOffset + 4);
    EXPECT_EQ(image->FileOffsetOf(kHandResourceRva, rsrc.rawSize), rsrc.rawOffset);
    // One byte past the raw data (memory there is zeros), the headers, and nowhere at all.
    EXPECT_FALSE(image->FileOffsetOf(kHandResourceRva, rsrc.rawSize + 1));
    EXPECT_FALSE(image->FileOffsetOf(kHandResourceRva + rsrc.rawSize, 1));
    EXPECT_FALSE(image->FileOffsetOf(0x10, 4));
    EXPECT_FALSE(image->FileOffsetOf(0xFFFFFFF0, 0x20));
    EXPECT_EQ(image->SectionOfRva(0x1000), 0u);
    EXPECT_FALSE(image->SectionOfRva(0x1800));
    EXPECT_EQ(image->RawEndOfSectionAt(kHandResourceRva + 1), rsrc.RawEnd());
}

TEST(PeImage, ChecksumOfOddLengthsAndTheFieldItself) {
    // The field's bytes count as zero; an odd last byte is the low byte of a final word.
    Bytes bytes = {0x01, 0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0x03};
    EXPECT_EQ(ComputeCheckSum(bytes, 2), 0x0201u + 0x0003u + 7u);
    bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(ComputeCheckSum(bytes, 4), 0xFFFFu + 8u); // 0xFFFF + 0xFFFF folds to 0xFFFF
}

// Each case damages a valid file in one way; none may parse.
TEST(PeImage, RejectsMalformedHeaders) {
    const Bytes good = SmallPe();
    ASSERT_TRUE(ParseImage(good));
    const std::size_t rsrc = kSections + 40;
    const std::size_t directories = kOptional + 112;
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
        {"SectionAlignment below FileAlignment",
         [](Bytes &f) { PutU32(f, kOptional + 32, 0x100); }},
        {"section table past SizeOfHeaders", [](Bytes &f) { PutU32(f, kOptional + 60, 0x100); }},
        {"raw data past the end", [](Bytes &f) { PutU32(f, rsrc + 16, 0x10000); }},
        {"raw range wrapping 32 bits",
         [](Bytes &f) { PutU32(f, rsrc + 20, 0xFFFFFE00), PutU32(f, rsrc + 16, 0x400); }},
        {"unaligned RVA", [](Bytes &f) { PutU32(f, rsrc + 12, 0x2100); }},
        {"descending RVAs", [](Bytes &f) { PutU32(f, rsrc + 12, 0x1000); }},
        {"overlapping RVAs", [](Bytes &f) { PutU32(f, kSections + 8, 0x1001); }},
        {"SizeOfImage too small", [](Bytes &f) { PutU32(f, kOptional + 56, 0x2000); }},
        {"resource directory outside every section",
         [](Bytes &f) { PutU32(f, directories + 16, 0x8000); }},
        {"resource directory past its raw data",
         [](Bytes &f) { PutU32(f, directories + 20, 0x201); }},
        {"resource directory wrapping 32 bits",
         [](Bytes &f) { PutU32(f, directories + 20, 0xFFFFF000); }},
    };
    for (const auto &[what, damage] : cases) {
        SCOPED_TRACE(what);
        Bytes file = good;
        damage(file);
        EXPECT_FALSE(ParseImage(file));
    }
}

TEST(PeImage, TruncatedFilesNeverParse) {
    const Bytes good = SmallPe();
    for (std::size_t length = 0; length < good.size(); ++length) {
        Bytes file(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_FALSE(ParseImage(file)) << "length " << length;
    }
}

TEST(PeImage, AcceptsPe32AndModulesWithoutResources) {
    Bytes pe32 = SimplePe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes, false);
    std::optional<Image> image = ParseImage(pe32);
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->pe32Plus);
    EXPECT_EQ(image->Directory(kDirectoryResource).rva, kHandResourceRva);
    std::optional<Image> bare = ParseImage(SimplePe({}));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->Directory(kDirectoryResource).size, 0u);
    EXPECT_EQ(bare->Directory(20).size, 0u); // no such entry
}

} // namespace
