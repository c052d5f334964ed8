// Tests of rebuilding modules around a changed resource tree: every placement case on the
// MinGW modules, the bytes no section owns, and the cases that must fail cleanly.
#include "core/byte_cursor.h"
#include "pe/pe_test_support.h"
#include "pe/pe_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

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

std::vector<ResourceChange> Small() {
    return {Add(3, Text("hello-three")), Add(1, Text("one-0"))};
}
std::vector<ResourceChange> Big() {
    return {Add(3, Pattern(5000, 'a')), Add(4, Pattern(9000, 'A'))};
}

struct Rebuilt {
    RebuildStatus status;
    Bytes file;
};

Rebuilt Rebuild(const Bytes &original, std::vector<ResourceChange> changes) {
    Loaded module(original);
    EXPECT_TRUE(module.image);
    if (!module.image)
        return {RebuildStatus::Damaged, {}};
    module.tree.Apply(std::move(changes));
    Rebuilt result{RebuildStatus::Ok, {}};
    result.status = RebuildWithResources(module.file, *module.image, module.tree, result.file);
    return result;
}

std::uint64_t DataEnd(const Image &image) {
    std::uint64_t end = image.sizeOfHeaders;
    for (const Section &s : image.sections)
        if (s.rawSize != 0)
            end = std::max(end, s.RawEnd());
    return end;
}

std::string SectionName(const Bytes &file, const Section &section) {
    return std::string(reinterpret_cast<const char *>(&file[section.headerOffset]), 8);
}

// What every successful rebuild must keep: the other sections (address, size, flags, bytes),
// the bytes after the section data (overlay, symbols, certificates) with their pointers, the
// untouched resources, a correct checksum and consistent sizes.
void ExpectSound(const Bytes &before, const Bytes &after,
                 const std::vector<ResourceChange> &changes) {
    Loaded old(before);
    Loaded now(after);
    ASSERT_TRUE(now.image);
    const Image &a = *old.image;
    const Image &b = *now.image;
    EXPECT_EQ(GetU32(after, b.CheckSumOffset()), ComputeCheckSum(after, b.CheckSumOffset()));
    const std::uint32_t newTree = b.Directory(kDirectoryResource).rva;
    for (const Section &s : a.sections) {
        if (s.virtualAddress == newTree)
            continue;
        SCOPED_TRACE(SectionName(before, s));
        auto match = std::find_if(b.sections.begin(), b.sections.end(), [&](const Section &t) {
            return t.virtualAddress == s.virtualAddress;
        });
        ASSERT_NE(match, b.sections.end());
        EXPECT_EQ(SectionName(after, *match), SectionName(before, s));
        EXPECT_EQ(match->virtualSize, s.virtualSize);
        EXPECT_EQ(match->rawSize, s.rawSize);
        EXPECT_EQ(GetU32(after, match->headerOffset + 36), GetU32(before, s.headerOffset + 36));
        EXPECT_TRUE(std::equal(before.begin() + s.rawOffset, before.begin() + s.RawEnd(),
                               after.begin() + match->rawOffset));
    }
    // The tree's section: VirtualSize and DataDirectory[2] give the tree's size.
    const Section &tree = b.sections[*b.SectionOfRva(newTree)];
    EXPECT_EQ(tree.virtualAddress, newTree);
    EXPECT_EQ(tree.virtualSize, b.Directory(kDirectoryResource).size);
    EXPECT_EQ(b.sizeOfImage, ril::AlignUp(b.sections.back().MemoryEnd(), b.sectionAlignment));
    // Everything after the section data, moved as one block.
    const std::uint64_t oldTail = DataEnd(a);
    const std::uint64_t newTail = DataEnd(b);
    EXPECT_TRUE(
        std::equal(before.begin() + oldTail, before.end(), after.begin() + newTail, after.end()));
    EXPECT_EQ(newTail % b.fileAlignment, oldTail % a.fileAlignment);
    if (a.pointerToSymbolTable != 0) {
        EXPECT_EQ(b.pointerToSymbolTable - newTail, a.pointerToSymbolTable - oldTail);
    }
    if (a.Directory(kDirectoryCertificate).size != 0) {
        EXPECT_EQ(b.Directory(kDirectoryCertificate).rva - newTail,
                  a.Directory(kDirectoryCertificate).rva - oldTail);
        EXPECT_EQ(b.Directory(kDirectoryCertificate).size, a.Directory(kDirectoryCertificate).size);
    }
    // Resources: the changed records as asked, every other leaf byte for byte.
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> touched;
    for (const ResourceChange &c : changes) {
        touched.insert({c.type, c.name, c.language});
        const ResourceLeaf *leaf = now.tree.Find(c.type, c.name, c.language);
        if (c.remove) {
            EXPECT_EQ(leaf, nullptr);
            continue;
        }
        ASSERT_NE(leaf, nullptr);
        EXPECT_TRUE(std::equal(leaf->data.begin(), leaf->data.end(), c.data.begin(), c.data.end()));
    }
    std::size_t kept = 0;
    for (const ResourceLeaf &leaf : old.tree.Leaves()) {
        if (!leaf.type.isName && !leaf.name.isName &&
            touched.count({leaf.type.id, leaf.name.id, leaf.language}) != 0)
            continue;
        ++kept;
        auto match = std::find_if(
            now.tree.Leaves().begin(), now.tree.Leaves().end(), [&](const ResourceLeaf &l) {
                return l.type == leaf.type && l.name == leaf.name && l.language == leaf.language;
            });
        ASSERT_NE(match, now.tree.Leaves().end());
        EXPECT_TRUE(
            std::equal(leaf.data.begin(), leaf.data.end(), match->data.begin(), match->data.end()));
        EXPECT_EQ(match->codePage, leaf.codePage);
    }
    EXPECT_EQ(now.tree.Leaves().size(),
              kept + touched.size() -
                  std::count_if(changes.begin(), changes.end(),
                                [](const ResourceChange &c) { return c.remove; }));
}

struct Case {
    std::string kind;
    bool bigAppends; // the big change needs a new section
};

TEST(PeWriter, EveryModuleKindTakesSmallAndBigChanges) {
    REQUIRE_FIXTURES("64");
    const std::vector<Case> cases = {
        {"mid", true},   {"last", false}, {"early", true}, {"after", true},   {"neutral", true},
        {"named", true}, {"langs", true}, {"edge", true},  {"overlay", true}, {"mid_debug", true}};
    for (const std::string &arch : Arches())
        for (const Case &c : cases) {
            SCOPED_TRACE(c.kind + arch);
            const Bytes original = ReadFile(FixturePath(c.kind + arch + ".dll"));
            const std::size_t sections = ParseImage(original)->sections.size();
            Rebuilt small = Rebuild(original, Small());
            ASSERT_EQ(small.status, RebuildStatus::Ok);
            ExpectSound(original, small.file, Small());
            EXPECT_EQ(ParseImage(small.file)->sections.size(), sections); // in place

            Rebuilt big = Rebuild(original, Big());
            ASSERT_EQ(big.status, RebuildStatus::Ok);
            ExpectSound(original, big.file, Big());
            const Image grown = *ParseImage(big.file);
            EXPECT_EQ(grown.sections.size(), sections + (c.bigAppends ? 1 : 0));
            if (c.bigAppends) {
                // A new read-only section at the old SizeOfImage; the old one's bytes stay.
                const Section &added = grown.sections.back();
                EXPECT_EQ(added.virtualAddress, ParseImage(original)->sizeOfImage);
                EXPECT_EQ(SectionName(big.file, added), std::string(".rsrc\0\0\0", 8));
                EXPECT_EQ(GetU32(big.file, added.headerOffset + 36), 0x40000040u);
                EXPECT_EQ(grown.Directory(kDirectoryResource).rva, added.virtualAddress);
            }
            // The next update finds the tree in the last section and stays there.
            std::vector<ResourceChange> again = {Remove(3), Add(5, Pattern(20000, '0'))};
            Rebuilt second = Rebuild(big.file, again);
            ASSERT_EQ(second.status, RebuildStatus::Ok);
            ExpectSound(big.file, second.file, again);
            EXPECT_EQ(ParseImage(second.file)->sections.size(), grown.sections.size());
        }
}

TEST(PeWriter, ModulesWithoutResourcesGetASection) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches())
        for (const char *kind : {"norsrc", "norsrc_debug"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = ReadFile(FixturePath(kind + arch + ".dll"));
            const Image before = *ParseImage(original);
            Rebuilt small = Rebuild(original, Small());
            ASSERT_EQ(small.status, RebuildStatus::Ok);
            ExpectSound(original, small.file, Small());
            const Image after = *ParseImage(small.file);
            ASSERT_EQ(after.sections.size(), before.sections.size() + 1);
            EXPECT_EQ(after.sections.back().virtualAddress, before.sizeOfImage);
            EXPECT_EQ(after.sizeOfInitializedData,
                      before.sizeOfInitializedData + after.sections.back().rawSize);
        }
}

TEST(PeWriter, NoFreeSectionHeaderFailsCleanly) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches()) {
        const Bytes original = ReadFile(FixturePath("full" + arch + ".dll"));
        Rebuilt result = Rebuild(original, Small());
        EXPECT_EQ(result.status, RebuildStatus::NoHeaderSlot) << arch;
        EXPECT_TRUE(result.file.empty());
    }
    // Header slack that holds something (not zeros) is no free slot either; changes that fit
    // in place still work.
    PeLayout layout;
    layout.resources = MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes;
    layout.dataAfter = true;
    Bytes tight = BuildPe(layout);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0xCC);
    EXPECT_EQ(Rebuild(tight, Small()).status, RebuildStatus::Ok);
    EXPECT_EQ(Rebuild(tight, Big()).status, RebuildStatus::NoHeaderSlot);
    std::fill(tight.begin() + 0x58 + 240 + 3 * 40, tight.begin() + 0x200, 0);
    EXPECT_EQ(Rebuild(tight, Big()).status, RebuildStatus::Ok);
}

TEST(PeWriter, AnUpdateAndItsReversalRestoreTheFile) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches())
        for (const char *kind : {"last", "mid"}) {
            SCOPED_TRACE(kind + arch);
            const Bytes original = ReadFile(FixturePath(kind + arch + ".dll"));
            std::vector<ResourceChange> grow = {
                Add(3, Pattern(std::string(kind) == "last" ? 9000 : 300, 'q'))};
            Rebuilt grown = Rebuild(original, grow);
            ASSERT_EQ(grown.status, RebuildStatus::Ok);
            EXPECT_GT(grown.file.size(), original.size());
            Rebuilt back = Rebuild(grown.file, {Remove(3)});
            ASSERT_EQ(back.status, RebuildStatus::Ok);
            EXPECT_EQ(back.file, original); // in place both ways: shrinks to the same bytes
        }
}

TEST(PeWriter, SymbolsAndCertificatesFollowTheirPointers) {
    REQUIRE_FIXTURES("64");
    // A certificate table after a module's data, as signing tools append it.
    Bytes signedModule = ReadFile(FixturePath("mid64.dll"));
    signedModule.resize((signedModule.size() + 7) / 8 * 8, 0);
    const std::uint32_t certificate = static_cast<std::uint32_t>(signedModule.size());
    Bytes record = Pattern(32, 'C');
    PutU32(record, 0, 32);
    PutU16(record, 4, 0x200);
    PutU16(record, 6, 2);
    signedModule.insert(signedModule.end(), record.begin(), record.end());
    const std::size_t entry = ParseImage(signedModule)->DirectoryEntryOffset(kDirectoryCertificate);
    PutU32(signedModule, entry, certificate);
    PutU32(signedModule, entry + 4, 32);
    for (const auto &changes : {Small(), Big()}) {
        Rebuilt result = Rebuild(signedModule, changes);
        ASSERT_EQ(result.status, RebuildStatus::Ok);
        ExpectSound(signedModule, result.file, changes);
        const DataDirectory moved = ParseImage(result.file)->Directory(kDirectoryCertificate);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), result.file.begin() + moved.rva));
    }
    // Growing .rsrc in place by one FileAlignment step moves .reloc, the DWARF sections and
    // the symbol table of the unstripped module.
    const Bytes debug = ReadFile(FixturePath("mid_debug64.dll"));
    std::vector<ResourceChange> grow = {Add(3, Pattern(0x300, 's'))};
    Rebuilt shifted = Rebuild(debug, grow);
    ASSERT_EQ(shifted.status, RebuildStatus::Ok);
    ExpectSound(debug, shifted.file, grow);
    const Image before = *ParseImage(debug);
    const Image after = *ParseImage(shifted.file);
    EXPECT_EQ(after.sections.size(), before.sections.size());
    EXPECT_EQ(after.pointerToSymbolTable, before.pointerToSymbolTable + 0x200);
    EXPECT_EQ(shifted.file.size(), debug.size() + 0x200);

    Bytes broken = debug;
    PutU32(broken, ParseImage(broken)->PointerToSymbolTableOffset(), 0x7FFFFFF0);
    EXPECT_EQ(Rebuild(broken, Small()).status, RebuildStatus::Unrelocatable);
    PutU32(signedModule, entry + 4, 0x10000);
    EXPECT_EQ(Rebuild(signedModule, Small()).status, RebuildStatus::Unrelocatable);
}

// A hand-made module whose debug directory in .data points at raw data after .rsrc.
TEST(PeWriter, DebugDataPointersFollowTheirBytes) {
    PeLayout layout;
    layout.resources = MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes;
    layout.dataAfter = true;
    Bytes file = BuildPe(layout);
    const Image image = *ParseImage(file);
    const Section &data = image.sections[2];
    PutU32(file, data.headerOffset + 8, 0x40);         // VirtualSize covers the directory
    const std::size_t directory = data.rawOffset + 16; // one 28-byte entry
    PutU32(file, directory + 16, 12);                  // SizeOfData
    PutU32(file, directory + 20, data.virtualAddress); // AddressOfRawData
    PutU32(file, directory + 24, data.rawOffset);      // PointerToRawData: "DATA-SECTION"
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug), data.virtualAddress + 16);
    PutU32(file, image.DirectoryEntryOffset(kDirectoryDebug) + 4, 28);
    std::vector<ResourceChange> grow = {Add(2, Pattern(1000, 'd'))};
    Rebuilt result = Rebuild(file, grow);
    ASSERT_EQ(result.status, RebuildStatus::Ok);
    const Section moved = ParseImage(result.file)->sections[2];
    EXPECT_EQ(moved.rawOffset, data.rawOffset + 0x400);
    const std::uint32_t pointer = GetU32(result.file, moved.rawOffset + 16 + 24);
    EXPECT_EQ(pointer, moved.rawOffset);
    // .data differs from before in that pointer only.
    Bytes expected(file.begin() + data.rawOffset, file.begin() + data.RawEnd());
    PutU32(expected, 16 + 24, pointer);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), result.file.begin() + moved.rawOffset));
    EXPECT_EQ(std::string(result.file.begin() + pointer, result.file.begin() + pointer + 12),
              "DATA-SECTION");
    // Too big for the room below .data: a new section, .data untouched.
    Rebuilt appended = Rebuild(file, {Add(2, Pattern(0x1000, 'd'))});
    ASSERT_EQ(appended.status, RebuildStatus::Ok);
    EXPECT_EQ(ParseImage(appended.file)->sections.size(), 4u);
}

TEST(PeWriter, SectionsSharedWithOtherDataAreLeftAlone) {
    // An import directory inside the resource section: the tree goes to a new section.
    Bytes file = SimplePe(MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"}).bytes);
    const Image image = *ParseImage(file);
    PutU32(file, image.DirectoryEntryOffset(1), kHandResourceRva + 0x100);
    PutU32(file, image.DirectoryEntryOffset(1) + 4, 20);
    Rebuilt result = Rebuild(file, Small());
    ASSERT_EQ(result.status, RebuildStatus::Ok);
    ExpectSound(file, result.file, Small());
    const Image after = *ParseImage(result.file);
    ASSERT_EQ(after.sections.size(), 3u);
    EXPECT_TRUE(
        std::equal(file.begin() + 0x400, file.begin() + 0x600, result.file.begin() + 0x400));
}

TEST(PeWriter, DamagedTreesAreNotRewritten) {
    HandTree hand = MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"});
    PutU32(hand.bytes, hand.dataEntries[1], 0x00900000);
    Bytes file = SimplePe(hand.bytes);
    Rebuilt result = Rebuild(file, Small());
    EXPECT_EQ(result.status, RebuildStatus::Damaged);
    EXPECT_TRUE(result.file.empty());
}

} // namespace
