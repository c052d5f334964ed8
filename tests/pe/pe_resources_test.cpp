// Tests of the resource tree: reading windres output and hand-made malformed trees, the
// lookup rule, batched changes, and serialization.
#include "pe/pe_resources.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ril::platform::pe;
using namespace ril::pe_test;

// A hand-made module with RT_RCDATA names 1, 2, 3 ("one", "two", "three"), language 0.
HandTree ThreeNames() {
    return MakeHandTree(kHandResourceRva, {1, 2, 3}, {"one", "two", "three"});
}

TEST(PeResources, ReadsWindresOutput) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches()) {
        SCOPED_TRACE(arch);
        Loaded mid(ReadFile(FixturePath("mid" + arch + ".dll")));
        ASSERT_TRUE(mid.image);
        EXPECT_FALSE(mid.tree.Damaged());
        ASSERT_EQ(mid.tree.Leaves().size(), 2u);
        EXPECT_EQ(LeafText(mid.tree.Find(10, 1)), std::string("one\0", 4));
        EXPECT_EQ(LeafText(mid.tree.Find(10, 2)), "BLOBDATA-0123456789abcdef");
        EXPECT_EQ(mid.tree.Find(10, 1)->language, 0x409u);
        EXPECT_EQ(mid.tree.Find(10, 3), nullptr);
        EXPECT_EQ(mid.tree.Find(6, 1), nullptr);

        Loaded edge(ReadFile(FixturePath("edge" + arch + ".dll")));
        ASSERT_EQ(edge.tree.Leaves().size(), 3u);
        const ResourceLeaf *empty = edge.tree.Find(10, 5);
        ASSERT_NE(empty, nullptr);
        EXPECT_TRUE(empty->readable);
        EXPECT_EQ(empty->data.size(), 0u);
        EXPECT_EQ(LeafText(edge.tree.Find(10, 0)),
                  "zero-id"); // stored; the module layer refuses it
        EXPECT_EQ(LeafText(edge.tree.Find(10, 65535)), "id-65535");
    }
}

TEST(PeResources, LanguageZeroElseTheLowestLanguage) {
    REQUIRE_FIXTURES("64");
    // Each record's text names its language as LANGUAGE primary,sub.
    const std::vector<std::pair<unsigned, const char *>> expected = {
        {5, "0,0"},     {6, "0x09,1"},  {8, "0x07,1"},  {9, "0x07,1"},  {10, "0,0"},
        {11, "0,1"},    {12, "0x0c,1"}, {20, "0x07,1"}, {21, "0x07,1"}, {22, "0x0c,1"},
        {23, "0x07,0"}, {24, "0x09,0"}, {25, "0x07,1"}, {26, "0,1"},    {27, "0x7f,0"},
        {30, "1,0"},    {31, "1,0"},    {32, "1,0"},    {33, "1,0"},    {34, "1,0"},
        {35, "1,0"},    {36, "1,0"},
    };
    for (const std::string &arch : Arches()) {
        Loaded langs(ReadFile(FixturePath("langs" + arch + ".dll")));
        ASSERT_FALSE(langs.tree.Damaged());
        for (const auto &[id, language] : expected)
            EXPECT_EQ(LeafText(langs.tree.Find(10, id)),
                      "id" + std::to_string(id) + "-lang" + language)
                << arch << " ID " << id;
        // With a language: exactly that one or none.
        EXPECT_EQ(LeafText(langs.tree.Find(10, 24, 0x407)), "id24-lang0x07,1");
        EXPECT_EQ(LeafText(langs.tree.Find(10, 5, 0x40C)), "id5-lang0x0c,1");
        EXPECT_EQ(langs.tree.Find(10, 24, 0x409), nullptr);
        EXPECT_EQ(langs.tree.Find(10, 7), nullptr);
    }
}

TEST(PeResources, NamedResourcesAreInvisibleToIntegerLookups) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches()) {
        Loaded named(ReadFile(FixturePath("named" + arch + ".dll")));
        ASSERT_FALSE(named.tree.Damaged());
        const std::vector<ResourceLeaf> &leaves = named.tree.Leaves();
        ASSERT_EQ(leaves.size(), 10u);
        // Tree order: the named type first, then IDs 6 (strings), 10 (RCDATA), 16 (version).
        EXPECT_EQ(leaves[0].type, ResourceKey::Name(u"MYTYPE"));
        EXPECT_EQ(leaves[0].name, ResourceKey::Name(u"ZETA"));
        EXPECT_EQ(leaves[1].name, ResourceKey::Id(3));
        EXPECT_EQ(leaves[2].type, ResourceKey::Id(6));
        EXPECT_EQ(leaves[4].name, ResourceKey::Name(u"ALPHA"));
        EXPECT_EQ(leaves[5].name, ResourceKey::Name(u"BAR BAZ"));
        EXPECT_EQ(leaves[6].name, ResourceKey::Name(u"FOO"));
        EXPECT_EQ(LeafText(&leaves[6]), std::string("named-Foo\0", 10));
        EXPECT_EQ(leaves[9].type, ResourceKey::Id(16));
        int found = 0;
        for (std::uint32_t id = 0; id <= 0xFFFF; ++id)
            if (const ResourceLeaf *leaf = named.tree.Find(10, id)) {
                ++found;
                EXPECT_FALSE(leaf->name.isName);
            }
        EXPECT_EQ(found, 2); // 1 and 300 only
        EXPECT_EQ(named.tree.Find(10, 300)->data.size(), 4500u);
    }
}

TEST(PeResources, SerializesAsWindresAndLdLayOutTheTree) {
    REQUIRE_FIXTURES("64");
    for (const std::string &arch : Arches())
        for (const char *kind : {"mid", "langs", "edge", "neutral"}) {
            SCOPED_TRACE(kind + arch);
            Loaded module(ReadFile(FixturePath(kind + arch + ".dll")));
            const DataDirectory resources = module.image->Directory(kDirectoryResource);
            std::optional<std::vector<std::uint8_t>> bytes = module.tree.Serialize(resources.rva);
            ASSERT_TRUE(bytes);
            ASSERT_EQ(bytes->size(), resources.size);
            const std::uint64_t at = *module.image->FileOffsetOf(resources.rva, resources.size);
            EXPECT_TRUE(std::equal(bytes->begin(), bytes->end(), module.file.begin() + at));
        }
}

TEST(PeResources, SerializationOrdersNamesBeforeIdsAndAlignsData) {
    REQUIRE_FIXTURES("64");
    Loaded named(ReadFile(FixturePath("named64.dll")));
    const std::uint32_t rva = 0x5000;
    std::optional<std::vector<std::uint8_t>> bytes = named.tree.Serialize(rva);
    ASSERT_TRUE(bytes);
    const Bytes tree(bytes->begin(), bytes->end());
    EXPECT_EQ(tree.size() % 8, 0u);
    EXPECT_EQ(GetU16(tree, 12), 1u); // one named type, then three IDs ascending
    EXPECT_EQ(GetU16(tree, 14), 3u);
    EXPECT_NE(GetU32(tree, 16) & 0x80000000u, 0u);
    EXPECT_EQ(GetU32(tree, 24), 6u);
    EXPECT_EQ(GetU32(tree, 32), 10u);
    EXPECT_EQ(GetU32(tree, 40), 16u);
    const std::uint32_t nameAt = GetU32(tree, 16) & 0x7FFFFFFFu;
    EXPECT_EQ(GetU16(tree, nameAt), 6u);
    EXPECT_EQ(GetU16(tree, nameAt + 2), u'M');
    // RCDATA's name table: three names (upper case as stored) before ID 1 and 300.
    const std::size_t rcdata = GetU32(tree, 36) & 0x7FFFFFFFu;
    EXPECT_EQ(GetU16(tree, rcdata + 12), 3u);
    EXPECT_EQ(GetU16(tree, rcdata + 14), 2u);
    EXPECT_EQ(GetU32(tree, rcdata + 16 + 8 * 3), 1u);
    EXPECT_EQ(GetU32(tree, rcdata + 16 + 8 * 4), 300u);
    // Follow ID 300 down to its data entry: 8-aligned, code page 0, data 8-aligned at its RVA.
    const std::size_t languages = GetU32(tree, rcdata + 16 + 8 * 4 + 4) & 0x7FFFFFFFu;
    const std::size_t entry = GetU32(tree, languages + 20);
    EXPECT_EQ(entry % 8, 0u);
    EXPECT_EQ(GetU32(tree, entry + 4), 4500u);
    EXPECT_EQ(GetU32(tree, entry + 8), 0u);
    const std::uint32_t dataRva = GetU32(tree, entry);
    EXPECT_EQ(dataRva % 8, 0u);
    EXPECT_TRUE(std::equal(tree.begin() + (dataRva - rva), tree.begin() + (dataRva - rva) + 4500,
                           named.tree.Find(10, 300)->data.begin()));
}

// Each case damages the hand-made tree in one way: reading never fails hard, the damage is
// reported, and the intact part stays reachable.
TEST(PeResources, MalformedTreesAreReadSafely) {
    const HandTree good = ThreeNames();
    const std::size_t names = good.nameTable;
    struct Case {
        const char *what;
        std::function<void(Bytes &)> damage;
        bool damaged;
        std::vector<unsigned> reachable;
    };
    const std::vector<Case> cases = {
        {"unsorted IDs",
         [&](Bytes &t) { PutU32(t, names + 16, 3), PutU32(t, names + 32, 1); },
         false,
         {1, 2, 3}},
        {"duplicate IDs keep the first",
         [&](Bytes &t) { PutU32(t, names + 24, 1); },
         false,
         {1, 3}},
        {"child offset pointing at its own table",
         [&](Bytes &t) { PutU32(t, names + 20, 0x80000000u | static_cast<std::uint32_t>(names)); },
         true,
         {2, 3}},
        {"type entry pointing back at the root",
         [&](Bytes &t) { PutU32(t, 20, 0x80000000u); },
         true,
         {}},
        {"child offset outside the tree",
         [&](Bytes &t) { PutU32(t, names + 28, 0x80100000u); },
         true,
         {1, 3}},
        {"DataRVA outside the image",
         [&](Bytes &t) { PutU32(t, good.dataEntries[0], 0x00900000); },
         true,
         {2, 3}},
        {"DataRVA in the headers",
         [&](Bytes &t) { PutU32(t, good.dataEntries[0], 0x10); },
         true,
         {2, 3}},
        {"DataRVA + Size wrapping 32 bits",
         [&](Bytes &t) {
             PutU32(t, good.dataEntries[1], 0xFFFFFFF0), PutU32(t, good.dataEntries[1] + 4, 0x20);
         },
         true,
         {1, 3}},
        {"Size larger than the file",
         [&](Bytes &t) { PutU32(t, good.dataEntries[2] + 4, 0x7FFFFFFF); },
         true,
         {1, 2}},
        {"huge counts in the root",
         [&](Bytes &t) { PutU16(t, 12, 0xFFFF), PutU16(t, 14, 0xFFFF); },
         true,
         {}},
        {"huge counts in a language table",
         [&](Bytes &t) { PutU16(t, good.languageTables[1] + 14, 0xFFFF); },
         true,
         {1, 3}},
        {"name string outside the tree",
         [&](Bytes &t) { PutU32(t, names + 24, 0x80100000u); },
         true,
         {1, 3}},
        {"leaf at the type level", [&](Bytes &t) { PutU32(t, 20, good.dataEntries[0]); }, true, {}},
        {"table under a language",
         [&](Bytes &t) {
             PutU32(t, good.languageTables[0] + 20,
                    0x80000000u | static_cast<std::uint32_t>(names));
         },
         true,
         {2, 3}},
        {"named language",
         [&](Bytes &t) { PutU32(t, good.languageTables[2] + 16, 0x80000000u); },
         true,
         {1, 2}},
        {"bit 31 names among the ID entries",
         [&](Bytes &t) { PutU32(t, names + 32, 0x80000000u | static_cast<std::uint32_t>(names)); },
         false,
         {1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes tree = good.bytes;
        c.damage(tree);
        Loaded module(SimplePe(tree));
        ASSERT_TRUE(module.image);
        EXPECT_EQ(module.tree.Damaged(), c.damaged);
        for (unsigned id = 1; id <= 3; ++id) {
            const ResourceLeaf *leaf = module.tree.Find(10, id);
            bool reachable = leaf != nullptr && leaf->readable;
            bool expected =
                std::find(c.reachable.begin(), c.reachable.end(), id) != c.reachable.end();
            EXPECT_EQ(reachable, expected) << "ID " << id;
        }
    }
}

std::vector<ResourceChange> Changes(std::initializer_list<ResourceChange> list) {
    return list;
}
ResourceChange Add(std::uint16_t name, const std::string &text, std::uint16_t language = 0) {
    return {10, name, language, false, Text(text)};
}
ResourceChange Remove(std::uint16_t name, std::uint16_t language = 0) {
    return {10, name, language, true, {}};
}

TEST(PeResources, ChangesApplyInOrder) {
    Loaded module(SimplePe(ThreeNames().bytes));
    ResourceTree &tree = module.tree;
    tree.Apply(
        Changes({Add(4, "four"), Add(2, "two-new"), Remove(3), Remove(9), Add(5, "five"), Remove(5),
                 Remove(1), Add(1, "one-again"), Add(6, "six-a"), Add(6, "six-b")}));
    EXPECT_EQ(LeafText(tree.Find(10, 1)), "one-again");
    EXPECT_EQ(LeafText(tree.Find(10, 2)), "two-new");
    EXPECT_EQ(tree.Find(10, 3), nullptr);
    EXPECT_EQ(LeafText(tree.Find(10, 4)), "four");
    EXPECT_EQ(tree.Find(10, 5), nullptr);
    EXPECT_EQ(LeafText(tree.Find(10, 6)), "six-b");
    EXPECT_EQ(tree.Find(10, 9), nullptr);
    ASSERT_EQ(tree.Leaves().size(), 4u);
    for (std::size_t i = 1; i < tree.Leaves().size(); ++i)
        EXPECT_LT(tree.Leaves()[i - 1].name.id, tree.Leaves()[i].name.id);
}

TEST(PeResources, ChangesTouchOnlyTheirLanguageAndKeepCodePages) {
    HandTree hand = ThreeNames();
    PutU32(hand.bytes, hand.dataEntries[1] + 8, 1252); // ID 2 has code page 1252
    PutU32(hand.bytes, hand.dataEntries[2] + 8, 936);
    Loaded module(SimplePe(hand.bytes));
    module.tree.Apply(Changes({Add(1, "one-0409", 0x409), Add(3, "three-new"), Remove(2, 0x409)}));
    EXPECT_EQ(LeafText(module.tree.Find(10, 1)), "one"); // language 0 still wins
    EXPECT_EQ(LeafText(module.tree.Find(10, 1, 0x409)), "one-0409");
    EXPECT_EQ(module.tree.Find(10, 2)->codePage, 1252u);
    EXPECT_EQ(module.tree.Find(10, 3)->codePage, 0u); // replaced
    EXPECT_EQ(module.tree.Leaves().size(), 4u);
}

TEST(PeResources, EmptiedTablesDisappear) {
    REQUIRE_FIXTURES("64");
    Loaded named(ReadFile(FixturePath("named64.dll")));
    named.tree.Apply(Changes({Remove(1), Remove(300), {16, 1, 0, true, {}}}));
    // Type 10 keeps its three named entries; type 16 is gone.
    std::optional<std::vector<std::uint8_t>> bytes = named.tree.Serialize(0x1000);
    ASSERT_TRUE(bytes);
    Bytes tree(bytes->begin(), bytes->end());
    EXPECT_EQ(GetU16(tree, 12), 1u);
    EXPECT_EQ(GetU16(tree, 14), 2u);
    EXPECT_EQ(GetU32(tree, 32), 10u);
    const std::size_t rcdata = GetU32(tree, 36) & 0x7FFFFFFFu;
    EXPECT_EQ(GetU16(tree, rcdata + 12), 3u);
    EXPECT_EQ(GetU16(tree, rcdata + 14), 0u);

    Loaded hand(SimplePe(ThreeNames().bytes));
    hand.tree.Apply(Changes({Remove(1), Remove(2), Remove(3)}));
    EXPECT_TRUE(hand.tree.Leaves().empty());
    bytes = hand.tree.Serialize(0x1000);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::vector<std::uint8_t>(16, 0)); // an empty root table
}

TEST(PeResources, SerializedTreesReadBackWhole) {
    REQUIRE_FIXTURES("64");
    Loaded named(ReadFile(FixturePath("named64.dll")));
    named.tree.Apply(Changes({Add(7, ""), Add(8, std::string(1000, 'x')), Add(2, "z", 0x407)}));
    std::optional<std::vector<std::uint8_t>> bytes = named.tree.Serialize(kHandResourceRva);
    ASSERT_TRUE(bytes);
    Loaded again(SimplePe(Bytes(bytes->begin(), bytes->end())));
    EXPECT_FALSE(again.tree.Damaged());
    EXPECT_TRUE(SameLeaves(named.tree, again.tree));
    EXPECT_EQ(again.tree.Find(10, 7)->data.size(), 0u);
    EXPECT_FALSE(SameLeaves(named.tree, Loaded(SimplePe(ThreeNames().bytes)).tree));
}

} // namespace
