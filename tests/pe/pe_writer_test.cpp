// Tests of rebuilding modules around a changed resource tree: every placement case on the
// MinGW modules, the bytes no section owns, and the cases that must fail cleanly.
#include "core/byte_cursor.h"
#include "pe/pe_test_support.h"
#include "pe/pe_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace ril::platform::pe;
using namespace ril::pe_test;

Bytes Pattern(std::size_t size, char seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i % 23);
    return bytes;
}
ResourceChange Add(std::uint16_t name, Bytes data) {
    return {10, name, 0, false, std::move(data)};
}
ResourceChange Remove(std::uint16_t name) {
    return {10, name, 0, true, {}};
}
const std::vector<ResourceChange> kSmall = {Add(3, Text("hello-three")), Add(1, Text("one-0"))};
const std::vector<ResourceChange> kBig = {Add(3, Pattern(5000, 'a')), Add(4, Pattern(9000, 'A'))};

struct Rebuilt {
    RebuildStatus status;
    Bytes file;
};
Rebuilt Rebuild(const Bytes &original, std::vector<ResourceChange> changes) {
    Loaded module(original);
    if (!module.image)
        return {RebuildStatus::Damaged, {}};
    module.tree.Apply(std::move(changes));
    Rebuilt result{RebuildStatus::Ok, {}};
    result.status = RebuildWithResources(module.file, *module.image, module.tree, result.file);
    return result;
}
Image Parsed(const Bytes &file) {
    return ParseImage(file).value();
}

std::uint64_t DataEnd(const Image &image) {
    std::uint64_t end = image.sizeOfHeaders;
    for (const Section &s : image.sections)
        end = s.rawSize != 0 ? std::max(end, s.RawEnd()) : end;
    return end;
}

// What every rebuild must keep: the other sections (address, sizes, flags, bytes), the bytes
// after the section data with their pointers, every other leaf, a correct checksum and
// consistent sizes. (pefile checks the same of the MinGW modules independently.)
void ExpectSound(const Bytes &before, const Bytes &after,
                 const std::vector<ResourceChange> &changes) {
    Loaded old(before), now(after);
    ASSERT_TRUE(now.image);
    const Image &a = *old.image, &b = *now.image;
    EXPECT_EQ(GetU32(after, b.CheckSumOffset()), ComputeCheckSum(after, b.CheckSumOffset()));
    const std::uint32_t newTree = b.Directory(kDirectoryResource).rva;
    for (const Section &s : a.sections) {
        auto t = std::find_if(b.sections.begin(), b.sections.end(), [&](const Section &t) {
            return t.virtualAddress == s.virtualAddress;
        });
        ASSERT_NE(t, b.sections.end()) << s.virtualAddress;
        if (s.virtualAddress == newTree)
            continue;
        EXPECT_TRUE(std::equal(before.begin() + s.headerOffset,
                               before.begin() + s.headerOffset + 20,
                               after.begin() + t->headerOffset)); // name, sizes, address
        EXPECT_EQ(GetU32(after, t->headerOffset + 36), GetU32(before, s.headerOffset + 36));
        EXPECT_TRUE(std::equal(before.begin() + s.rawOffset, before.begin() + s.RawEnd(),
                               after.begin() + t->rawOffset));
    }
    // The tree's section: VirtualSize and DataDirectory[2] give the tree's size.
    const Section &tree = b.sections[b.SectionOfRva(newTree).value()];
    EXPECT_EQ(tree.virtualAddress, newTree);
    EXPECT_EQ(tree.virtualSize, b.Directory(kDirectoryResource).size);
    EXPECT_EQ(b.sizeOfImage, ril::AlignUp(b.sections.back().MemoryEnd(), b.sectionAlignment));
    // Everything after the section data, moved as one block.
    const std::uint64_t oldTail = DataEnd(a);
    const std::uint64_t newTail = DataEnd(b);
    EXPECT_TRUE(
        std::equal(before.begin() + oldTail, before.end(), after.begin() + newTail, after.end()));
    if (a.pointerToSymbolTable != 0) {
        EXPECT_EQ(b.pointerToSymbolTable - newTail, a.pointerToSymbolTable - oldTail);
    }
    if (a.Directory(kDirectoryCertificate).size != 0) {
        EXPECT_EQ(b.Directory(kDirectoryCertificate).rva - newTail,
                  a.Directory(kDirectoryCertificate).rva - oldTail);
    }
    // The changed records as asked; every other leaf byte for byte.
    ResourceTree expected = ResourceTree::Read(a, before);
    expected.Apply(changes);
    EXPECT_TRUE(SameLeaves(expected, now.tree));
    for (const ResourceChange &c : changes)
        EXPECT_EQ(now.tree.Find(c.type, c.name, c.language) == nullptr, c.remove) << c.name;
}

TEST(PeWriter, EveryModuleKindTakesSmallAndBigChanges) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        for (const char *kind : {"mid", "last", "early", "after", "neutral", "named", "langs",
                                 "edge", "overlay", "mid_debug"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = Fixture(kind + arch + ".dll");
            const Image before = Parsed(original);
            Rebuilt small = Rebuild(original, kSmall);
            ASSERT_EQ(small.status, RebuildStatus::Ok);
            ExpectSound(original, small.file, kSmall);
            EXPECT_EQ(Parsed(small.file).sections.size(), before.sections.size()); // in place

            Rebuilt big = Rebuild(original, kBig);
            ASSERT_EQ(big.status, RebuildStatus::Ok);
            ExpectSound(original, big.file, kBig);
            const Image grown = Parsed(big.file);
            const bool appends = std::string(kind) != "last"; // .rsrc last grows in place
            EXPECT_EQ(grown.sections.size(), before.sections.size() + (appends ? 1 : 0));
            if (appends) {
                // A new read-only section at the old SizeOfImage; the old one's bytes stay.
                const Section &added = grown.sections.back();
                EXPECT_EQ(added.virtualAddress, before.sizeOfImage);
                EXPECT_EQ(Bytes(big.file.begin() + added.headerOffset,
                                big.file.begin() + added.headerOffset + 8),
                          Text(std::string(".rsrc\0\0\0", 8)));
                EXPECT_EQ(GetU32(big.file, added.headerOffset + 36), 0x40000040u);
                EXPECT_EQ(grown.Directory(kDirectoryResource).rva, added.virtualAddress);
            }
            // The next update finds the tree in the last section and stays there.
            const std::vector<ResourceChange> again = {Remove(3), Add(5, Pattern(20000, '0'))};
            Rebuilt second = Rebuild(big.file, again);
            ASSERT_EQ(second.status, RebuildStatus::Ok);
            ExpectSound(big.file, second.file, again);
            EXPECT_EQ(Parsed(second.file).sections.size(), grown.sections.size());
        }
}

TEST(PeWriter, ModulesWithoutResourcesGetASection) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        for (const char *kind : {"norsrc", "norsrc_debug"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = Fixture(kind + arch + ".dll");
            Rebuilt small = Rebuild(original, kSmall);
            ASSERT_EQ(small.status, RebuildStatus::Ok);
            ExpectSound(original, small.file, kSmall);
            const Image before = Parsed(original), after = Parsed(small.file);
            ASSERT_EQ(after.sections.size(), before.sections.size() + 1);
            EXPECT_EQ(after.sections.back().virtualAddress, before.sizeOfImage);
            EXPECT_EQ(after.sizeOfInitializedData,
                      before.sizeOfInitializedData + after.sections.back().rawSize);
        }
}

TEST(PeWriter, NoFreeSectionHeaderFailsCleanly) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches()) {
        Rebuilt result = Rebuild(Fixture("full" + arch + ".dll"), kSmall);
        EXPECT_EQ(result.status, RebuildStatus::NoHeaderSlot) << arch;
        EXPECT_TRUE(result.file.empty());
    }
    // Header slack that holds something (not zeros) is no free slot either; changes that fit
    // in place still work.
    Bytes tight = BuildPe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes, true, true);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0xCC);
    EXPECT_EQ(Rebuild(tight, kSmall).status, RebuildStatus::Ok);
    EXPECT_EQ(Rebuild(tight, kBig).status, RebuildStatus::NoHeaderSlot);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0);
    EXPECT_EQ(Rebuild(tight, kBig).status, RebuildStatus::Ok);
}

TEST(PeWriter, AnUpdateAndItsReversalRestoreTheFile) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        for (const char *kind : {"last", "mid"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = Fixture(kind + arch + ".dll");
            Rebuilt grown =
                Rebuild(original, {Add(3, Pattern(std::string(kind) == "last" ? 9000 : 300, 'q'))});
            ASSERT_EQ(grown.status, RebuildStatus::Ok);
            EXPECT_GT(grown.file.size(), original.size());
            Rebuilt back = Rebuild(grown.file, {Remove(3)});
            ASSERT_EQ(back.status, RebuildStatus::Ok);
            EXPECT_EQ(back.file, original); // in place both ways: shrinks to the same bytes
        }
}

TEST(PeWriter, SymbolsAndCertificatesFollowTheirPointers) {
    REQUIRE_FIXTURES();
    // A certificate table after a module's data, as signing tools append it.
    Bytes signedModule = Fixture("mid64.dll");
    signedModule.resize((signedModule.size() + 7) / 8 * 8, 0);
    const auto certificate = static_cast<std::uint32_t>(signedModule.size());
    Bytes record = Pattern(32, 'C');
    PutU32(record, 0, 32);
    PutU32(record, 4, 0x00020200); // revision 0x200, type 2
    signedModule.insert(signedModule.end(), record.begin(), record.end());
    const std::size_t entry = Parsed(signedModule).DirectoryEntryOffset(kDirectoryCertificate);
    PutU32(signedModule, entry, certificate);
    PutU32(signedModule, entry + 4, 32);
    for (const auto &changes : {kSmall, kBig}) {
        Rebuilt result = Rebuild(signedModule, changes);
        ASSERT_EQ(result.status, RebuildStatus::Ok);
        ExpectSound(signedModule, result.file, changes);
        const DataDirectory moved = Parsed(result.file).Directory(kDirectoryCertificate);
        EXPECT_EQ(moved.size, 32u);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), result.file.begin() + moved.rva));
    }
    // Growing .rsrc in place by one FileAlignment step moves .reloc, the DWARF sections and
    // the symbol table of the unstripped module.
    const Bytes debug = Fixture("mid_debug64.dll");
    const std::vector<ResourceChange> grow = {Add(3, Pattern(0x300, 's'))};
    Rebuilt shifted = Rebuild(debug, grow);
    ASSERT_EQ(shifted.status, RebuildStatus::Ok);
    ExpectSound(debug, shifted.file, grow);
    const Image before = Parsed(debug), after = Parsed(shifted.file);
    EXPECT_EQ(after.sections.size(), before.sections.size());
    EXPECT_EQ(after.pointerToSymbolTable, before.pointerToSymbolTable + 0x200);
    EXPECT_EQ(shifted.file.size(), debug.size() + 0x200);
    // Pointers past the end of the file cannot be relocated.
    Bytes broken = debug;
    PutU32(broken, before.PointerToSymbolTableOffset(), 0x7FFFFFF0);
    EXPECT_EQ(Rebuild(broken, kSmall).status, RebuildStatus::Unrelocatable);
    PutU32(signedModule, entry + 4, 0x10000);
    EXPECT_EQ(Rebuild(signedModule, kSmall).status, RebuildStatus::Unrelocatable);
}

// A hand-made module whose debug directory in .data points at raw data after .rsrc.
TEST(PeWriter, DebugDataPointersFollowTheirBytes) {
    Bytes file = BuildPe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes, true, true);
    const Image image = Parsed(file);
    const Section &data = image.sections[2];
    PutU32(file, data.headerOffset + 8, 0x40);         // VirtualSize covers the directory
    const std::size_t directory = data.rawOffset + 16; // one 28-byte entry
    PutU32(file, directory + 16, 12);                  // SizeOfData
    PutU32(file, directory + 20, data.virtualAddress); // AddressOfRawData
    PutU32(file, directory + 24, data.rawOffset);      // PointerToRawData: "DATA-SECTION"
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug), data.virtualAddress + 16);
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug) + 4, 28);
    Rebuilt result = Rebuild(file, {Add(2, Pattern(1000, 'd'))});
    ASSERT_EQ(result.status, RebuildStatus::Ok);
    const Section moved = Parsed(result.file).sections[2];
    EXPECT_EQ(moved.rawOffset, data.rawOffset + 0x400);
    const std::uint32_t pointer = GetU32(result.file, moved.rawOffset + 16 + 24);
    EXPECT_EQ(pointer, moved.rawOffset);
    // .data differs from before in that pointer only.
    Bytes expected(file.begin() + data.rawOffset, file.begin() + data.RawEnd());
    PutU32(expected, 16 + 24, pointer);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), result.file.begin() + moved.rawOffset));
    // Too big for the room below .data: a new section, .data untouched.
    Rebuilt appended = Rebuild(file, {Add(2, Pattern(0x1000, 'd'))});
    ASSERT_EQ(appended.status, RebuildStatus::Ok);
    EXPECT_EQ(Parsed(appended.file).sections.size(), 4u);
}

// Sections the tree shares with other data are left alone, and damaged trees are kept.
TEST(PeWriter, SectionsSharedWithOtherDataAreLeftAlone) {
    HandTree hand = MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"});
    Bytes file = SimplePe(hand.bytes);
    // An import directory inside the resource section: the tree goes to a new section.
    const Image image = Parsed(file);
    PutU32(file, image.DirectoryEntryOffset(1), kHandResourceRva + 0x100);
    PutU32(file, image.DirectoryEntryOffset(1) + 4, 20);
    Rebuilt result = Rebuild(file, kSmall);
    ASSERT_EQ(result.status, RebuildStatus::Ok);
    ExpectSound(file, result.file, kSmall);
    ASSERT_EQ(Parsed(result.file).sections.size(), 3u);
    EXPECT_TRUE(
        std::equal(file.begin() + 0x400, file.begin() + 0x600, result.file.begin() + 0x400));

    PutU32(hand.bytes, hand.dataEntries[1], 0x00900000);
    Rebuilt damaged = Rebuild(SimplePe(hand.bytes), kSmall);
    EXPECT_EQ(damaged.status, RebuildStatus::Damaged);
    EXPECT_TRUE(damaged.file.empty());
}

} // namespace
