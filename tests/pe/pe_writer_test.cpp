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

Rebuilt Rebuild(const Bytes &original, Changes changes) {
    Loaded module(original);
    if (!module.image)
        return {RebuildStatus::Damaged, {}};
    module.tree.Apply(std::move(changes));
    Rebuilt result{RebuildStatus::Ok, {}};
    result.first = RebuildWithResources(module.file, *module.image, module.tree, result.second);
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

// A section header without its file offsets (name, sizes, address, flags stay).
Bytes Header(const Bytes &file, std::size_t at) {
    Bytes header(file.begin() + at, file.begin() + at + 40);
    std::fill(header.begin() + 20, header.begin() + 36, 0);
    return header;
}

// What every rebuild must keep: the other sections (address, sizes, flags, bytes), the bytes
// after the section data with their pointers, every other leaf, a correct checksum and
// consistent sizes.
void ExpectSound(const Bytes &before, const Bytes &after, const Changes &changes) {
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
        EXPECT_EQ(Header(after, t->headerOffset), Header(before, s.headerOffset));
        EXPECT_TRUE(std::equal(before.begin() + s.rawOffset, before.begin() + s.RawEnd(),
                               after.begin() + t->rawOffset));
    }
    // The tree's section: VirtualSize and DataDirectory[2] give the tree's size.
    const Section &tree = b.sections[b.SectionOfRva(newTree).value()];
    EXPECT_EQ(std::tuple(tree.virtualAddress, tree.virtualSize, b.sizeOfImage),
              std::tuple(newTree, b.Directory(kDirectoryResource).size,
                         ril::AlignUp(b.sections.back().MemoryEnd(), b.sectionAlignment)));
    // Everything after the section data, moved as one block, pointers with it.
    const std::uint64_t oldTail = DataEnd(a), newTail = DataEnd(b);
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
// The file rebuilt with `changes`, checked sound.
Bytes Sound(const Bytes &original, const Changes &changes) {
    Rebuilt result = Rebuild(original, changes);
    EXPECT_EQ(result.first, RebuildStatus::Ok);
    ExpectSound(original, result.second, changes);
    return result.second;
}

// Small changes fit in place (modules without resources get a section); big ones go to a new
// read-only section at the old SizeOfImage (a last .rsrc grows in place), where the next
// update finds the tree and stays.
TEST(PeWriter, EveryModuleKindTakesSmallAndBigChanges) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        for (const std::string kind : {"mid", "last", "early", "after", "neutral", "named", "langs",
                                       "edge", "overlay", "mid_debug", "norsrc", "norsrc_debug"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = Fixture(kind + arch + ".dll");
            const Image before = Parsed(original);
            const bool bare = kind.starts_with("norsrc"), appends = kind != "last";
            const Image small = Parsed(Sound(original, kSmall));
            EXPECT_EQ(std::pair(small.sections.size(), small.sections.back().virtualAddress),
                      std::pair(before.sections.size() + bare,
                                bare ? before.sizeOfImage : before.sections.back().virtualAddress));
            if (bare) {
                EXPECT_EQ(small.sizeOfInitializedData,
                          before.sizeOfInitializedData + small.sections.back().rawSize);
            }
            const Bytes big = Sound(original, kBig);
            const Image grown = Parsed(big);
            ASSERT_EQ(grown.sections.size(), before.sections.size() + appends);
            const Section &added = grown.sections.back();
            if (appends) {
                EXPECT_EQ(std::tuple(added.virtualAddress, grown.Directory(kDirectoryResource).rva,
                                     Bytes(big.begin() + added.headerOffset,
                                           big.begin() + added.headerOffset + 8),
                                     GetU32(big, added.headerOffset + 36)),
                          std::tuple(before.sizeOfImage, added.virtualAddress,
                                     Text(std::string(".rsrc\0\0\0", 8)), 0x40000040u));
            }
            const Changes again = {{10, 3, 0, true, {}}, Add(5, Pattern(20000, '0'))};
            EXPECT_EQ(Parsed(Sound(big, again)).sections.size(), grown.sections.size());
        }
}

// No free section header, or header slack that holds something (not zeros): changes that
// fit in place still work.
TEST(PeWriter, NoFreeSectionHeaderFailsCleanly) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        EXPECT_EQ(Rebuild(Fixture("full" + arch + ".dll"), kSmall),
                  Rebuilt(RebuildStatus::NoHeaderSlot, {}));
    Bytes tight = BuildPe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes, true, true);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0xCC);
    EXPECT_EQ(Rebuild(tight, kSmall).first, RebuildStatus::Ok);
    EXPECT_EQ(Rebuild(tight, kBig).first, RebuildStatus::NoHeaderSlot);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0);
    EXPECT_EQ(Rebuild(tight, kBig).first, RebuildStatus::Ok);
}

// In place both ways: the file shrinks back to the same bytes.
TEST(PeWriter, AnUpdateAndItsReversalRestoreTheFile) {
    REQUIRE_FIXTURES();
    for (const std::string &arch : Arches())
        for (const std::string kind : {"last", "mid"}) {
            const Bytes original = Fixture(kind + arch + ".dll");
            Rebuilt grown = Rebuild(original, {Add(3, Pattern(kind == "last" ? 9000 : 300, 'q'))});
            EXPECT_GT(grown.second.size(), original.size()) << kind;
            EXPECT_EQ(Rebuild(grown.second, {{10, 3, 0, true, {}}}),
                      Rebuilt(RebuildStatus::Ok, original))
                << kind;
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
        const Bytes result = Sound(signedModule, changes);
        const DataDirectory moved = Parsed(result).Directory(kDirectoryCertificate);
        EXPECT_EQ(moved.size, 32u);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), result.begin() + moved.rva));
    }
    // Growing .rsrc in place by one FileAlignment step moves .reloc, the DWARF sections and
    // the symbol table of the unstripped module.
    const Bytes debug = Fixture("mid_debug64.dll");
    const Bytes shifted = Sound(debug, {Add(3, Pattern(0x300, 's'))});
    const Image before = Parsed(debug), after = Parsed(shifted);
    EXPECT_EQ(std::tuple(after.sections.size(), after.pointerToSymbolTable, shifted.size()),
              std::tuple(before.sections.size(), before.pointerToSymbolTable + 0x200,
                         debug.size() + 0x200));
    // Pointers past the end of the file cannot be relocated.
    Bytes broken = debug;
    PutU32(broken, before.PointerToSymbolTableOffset(), 0x7FFFFFF0);
    EXPECT_EQ(Rebuild(broken, kSmall).first, RebuildStatus::Unrelocatable);
    PutU32(signedModule, entry + 4, 0x10000);
    EXPECT_EQ(Rebuild(signedModule, kSmall).first, RebuildStatus::Unrelocatable);
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
    const Bytes result = Rebuild(file, {Add(2, Pattern(1000, 'd'))}).second;
    const Section moved = Parsed(result).sections[2];
    EXPECT_EQ(moved.rawOffset, data.rawOffset + 0x400);
    // .data differs from before in that pointer only, which follows the bytes.
    Bytes expected(file.begin() + data.rawOffset, file.begin() + data.RawEnd());
    PutU32(expected, 16 + 24, moved.rawOffset);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), result.begin() + moved.rawOffset));
    // Too big for the room below .data: a new section, .data untouched.
    EXPECT_EQ(Parsed(Rebuild(file, {Add(2, Pattern(0x1000, 'd'))}).second).sections.size(), 4u);
}

// Sections the tree shares with other data are left alone, and damaged trees are kept.
TEST(PeWriter, SectionsSharedWithOtherDataAreLeftAlone) {
    HandTree hand = MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"});
    Bytes file = SimplePe(hand.bytes);
    // An import directory inside the resource section: the tree goes to a new section.
    PutU32(file, Parsed(file).DirectoryEntryOffset(1), kHandResourceRva + 0x100);
    PutU32(file, Parsed(file).DirectoryEntryOffset(1) + 4, 20);
    const Bytes result = Sound(file, kSmall);
    ASSERT_EQ(Parsed(result).sections.size(), 3u);
    EXPECT_TRUE(std::equal(file.begin() + 0x400, file.begin() + 0x600, result.begin() + 0x400));
    PutU32(hand.bytes, hand.dataEntries[1], 0x00900000);
    EXPECT_EQ(Rebuild(SimplePe(hand.bytes), kSmall), Rebuilt(RebuildStatus::Damaged, {}));
}

} // namespace
