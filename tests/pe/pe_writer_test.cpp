// Rebuilding modules around a changed resource tree: where the tree goes, pointers that follow
// the bytes they name, and clean failures (the interop test checks every test module rebuilt
// with pefile, their symbol tables and overlays included).
#include "core/byte_cursor.h"
#include "pe/pe_test_support.h"
#include "pe/pe_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace ril::pe;
using namespace ril::pe_test;
using Changes = std::vector<ResourceChange>;
using Rebuilt = std::pair<RebuildStatus, Bytes>;

Bytes Pattern(std::size_t size, char seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i % 23);
    return bytes;
}
ResourceChange Add(std::uint16_t name, Bytes data) {
    return {10, name, 0, false, std::move(data)};
}
const Changes kSmall = {Add(3, Text("hello-three")), Add(1, Text("one-0"))};
const Changes kBig = {Add(3, Pattern(5000, 'a')), Add(4, Pattern(9000, 'A'))};

Rebuilt Rebuild(Bytes const &original, Changes changes) {
    Loaded module(original);
    Rebuilt result{RebuildStatus::Damaged, {}};
    module.tree.Apply(std::move(changes));
    if (module.image)
        result.first = RebuildWithResources(module.file, *module.image, module.tree, result.second);
    return result;
}
Image Parsed(Bytes const &file) {
    return ParseImage(file).value();
}

// The file rebuilt with `changes`: records as asked, other leaves kept, the checksum correct.
Bytes Sound(Bytes const &before, Changes const &changes) {
    Rebuilt result = Rebuild(before, changes);
    EXPECT_EQ(result.first, RebuildStatus::Ok);
    Loaded old(before), now(result.second);
    if (!now.image)
        return ADD_FAILURE() << "the rebuilt file does not parse", result.second;
    const std::size_t sum = now.image->CheckSumOffset();
    EXPECT_EQ(GetU32(now.file, sum), ComputeCheckSum(now.file, sum));
    old.tree.Apply(changes);
    EXPECT_TRUE(SameLeaves(old.tree, now.tree));
    return result.second;
}

// No free section header, or slack that is not zeros: in-place changes still work. Big ones go
// to a new read-only section at the old SizeOfImage, where the next update finds the tree.
TEST(PeWriter, NoFreeSectionHeaderFailsCleanly) {
    REQUIRE_FIXTURES();
    EXPECT_EQ(Rebuild(Fixture("full64.dll"), kSmall), Rebuilt(RebuildStatus::NoHeaderSlot, {}));
    Bytes tight = BuildPe(MakeHandTree({1}, {"x"}).bytes, true);
    auto const slack = tight.begin() + 0x58 + 240 + 3 * 40, end = tight.begin() + 0x200;
    std::fill(slack, end, 0xCC);
    EXPECT_EQ(std::pair(Rebuild(tight, kSmall).first, Rebuild(tight, kBig).first),
              std::pair(RebuildStatus::Ok, RebuildStatus::NoHeaderSlot));
    std::fill(slack, end, 0);
    const Bytes big = Sound(tight, kBig);
    const Image before = Parsed(tight), grown = Parsed(big);
    Section const &added = grown.sections.back();
    EXPECT_EQ(
        std::tuple(grown.sections.size(), added.virtualAddress, added.virtualSize,
                   Bytes(big.begin() + added.headerOffset, big.begin() + added.headerOffset + 8),
                   GetU32(big, added.headerOffset + 36), grown.sizeOfImage,
                   grown.sizeOfInitializedData),
        std::tuple(before.sections.size() + 1, before.sizeOfImage,
                   grown.Directory(kDirectoryResource).size, Text(std::string(".rsrc\0\0\0", 8)),
                   0x40000040u, ril::core::AlignUp(added.MemoryEnd(), grown.sectionAlignment),
                   before.sizeOfInitializedData + added.rawSize));
    const Changes again = {{10, 3, 0, true, {}}, Add(5, Pattern(20000, '0'))};
    const Image updated = Parsed(Sound(big, again));
    EXPECT_EQ(std::pair(updated.sections.size(), updated.Directory(kDirectoryResource).rva),
              std::pair(grown.sections.size(), added.virtualAddress));
}

// A certificate table after a module's data, as signing tools append it, moves with it.
TEST(PeWriter, CertificatesFollowTheirPointer) {
    REQUIRE_FIXTURES();
    Bytes signedModule = Fixture("mid64.dll");
    signedModule.resize((signedModule.size() + 7) / 8 * 8, 0);
    auto const certificate = static_cast<std::uint32_t>(signedModule.size());
    Bytes record = Pattern(32, 'C');
    PutU32(record, 0, 32);
    PutU32(record, 4, 0x00020200); // revision 0x200, type 2
    signedModule.insert(signedModule.end(), record.begin(), record.end());
    const std::size_t entry = Parsed(signedModule).DirectoryEntryOffset(kDirectoryCertificate);
    PutU32(signedModule, entry, certificate);
    PutU32(signedModule, entry + 4, 32);
    for (auto const &changes : {kSmall, kBig}) {
        const Bytes result = Sound(signedModule, changes);
        const DataDirectory moved = Parsed(result).Directory(kDirectoryCertificate);
        EXPECT_EQ(Bytes(result.begin() + moved.rva, result.begin() + moved.rva + moved.size),
                  record);
    }
    // A table that runs past the end of the file cannot be relocated.
    PutU32(signedModule, entry + 4, 0x10000);
    EXPECT_EQ(Rebuild(signedModule, kSmall).first, RebuildStatus::Unrelocatable);
}

// A hand-made module whose debug directory in .data points at raw data after .rsrc.
TEST(PeWriter, DebugDataPointersFollowTheirBytes) {
    Bytes file = BuildPe(MakeHandTree({1}, {"x"}).bytes, true);
    const Image image = Parsed(file);
    Section const &data = image.sections[2];
    PutU32(file, data.headerOffset + 8, 0x40);         // VirtualSize covers the directory
    const std::size_t directory = data.rawOffset + 16; // one 28-byte entry
    PutU32(file, directory + 16, 12);                  // SizeOfData
    PutU32(file, directory + 20, data.virtualAddress); // AddressOfRawData
    PutU32(file, directory + 24, data.rawOffset);      // PointerToRawData: "DATA-SECTION"
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug), data.virtualAddress + 16);
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug) + 4, 28);
    const Bytes result = Rebuild(file, {Add(2, Pattern(1000, 'd'))}).second;
    const Section moved = Parsed(result).sections[2];
    // .data moves by 0x400 and differs from before in that pointer only, which follows it.
    Bytes expected(file.begin() + data.rawOffset, file.begin() + data.RawEnd());
    PutU32(expected, 16 + 24, data.rawOffset + 0x400);
    EXPECT_EQ(Bytes(result.begin() + moved.rawOffset, result.begin() + moved.RawEnd()), expected);
    // Too big for the room below .data: a new section, .data untouched.
    EXPECT_EQ(Parsed(Rebuild(file, {Add(2, Pattern(0x1000, 'd'))}).second).sections.size(), 4u);
}

// Sections the tree shares with other data are left alone (the module tests keep damaged trees).
TEST(PeWriter, SectionsSharedWithOtherDataAreLeftAlone) {
    Bytes file = MakeHandTree({1, 2}, {"one", "two"}).Pe();
    // An import directory inside the resource section: the tree goes to a new section.
    PutU32(file, Parsed(file).DirectoryEntryOffset(1), kHandResourceRva + 0x100);
    PutU32(file, Parsed(file).DirectoryEntryOffset(1) + 4, 20);
    const Bytes result = Sound(file, kSmall);
    ASSERT_EQ(Parsed(result).sections.size(), 3u);
    EXPECT_TRUE(std::equal(file.begin() + 0x400, file.begin() + 0x600, result.begin() + 0x400));
}

} // namespace
