// Tests of the resource tree: the lookup rule, hand-made malformed trees, and serialization in
// the layout windres and ld give (the module tests apply batched changes).
#include "pe/pe_resources.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace ril::pe;
using namespace ril::pe_test;

TEST(PeResources, LanguageZeroElseTheLowestLanguage) {
    REQUIRE_FIXTURES();
    // Each record's text names its language as LANGUAGE primary,sub.
    const std::vector<std::pair<unsigned, char const *>> expected = {
        {5, "0,0"},     {6, "0x09,1"},  {8, "0x07,1"},  {9, "0x07,1"},  {10, "0,0"},
        {11, "0,1"},    {12, "0x0c,1"}, {20, "0x07,1"}, {21, "0x07,1"}, {22, "0x0c,1"},
        {23, "0x07,0"}, {24, "0x09,0"}, {25, "0x07,1"}, {26, "0,1"},    {27, "0x7f,0"},
        {30, "1,0"},    {31, "1,0"},    {32, "1,0"},    {33, "1,0"},    {34, "1,0"},
        {35, "1,0"},    {36, "1,0"},    {7, nullptr}};
    Loaded langs(Fixture("langs64.dll"));
    ASSERT_FALSE(langs.tree.Damaged());
    for (auto const &[id, language] : expected)
        EXPECT_EQ(LeafText(langs.tree.Find(10, id)),
                  language ? "id" + std::to_string(id) + "-lang" + language : "<none>")
            << "ID " << id;
    // With a language: exactly that one or none.
    EXPECT_EQ(std::tuple(LeafText(langs.tree.Find(10, 24, 0x407)),
                         LeafText(langs.tree.Find(10, 5, 0x40C)), langs.tree.Find(10, 24, 0x409)),
              std::tuple("id24-lang0x07,1", "id5-lang0x0c,1", nullptr));
}

// Reading and writing back what windres and ld made gives the very same bytes.
TEST(PeResources, SerializesAsWindresAndLdLayOutTheTree) {
    REQUIRE_FIXTURES();
    for (const std::string kind : {"mid", "langs", "edge", "neutral"}) {
        Loaded module(Fixture(kind + "64.dll"));
        EXPECT_FALSE(module.tree.Damaged()) << kind;
        const DataDirectory resources = module.image->Directory(kDirectoryResource);
        const std::uint64_t at = *module.image->FileOffsetOf(resources.rva, resources.size);
        EXPECT_EQ(module.tree.Serialize(resources.rva),
                  Bytes(module.file.begin() + at, module.file.begin() + at + resources.size))
            << kind;
    }
}

// Damaged trees are read safely: the damage is reported, the intact part stays reachable.
TEST(PeResources, MalformedTreesAreReadSafely) {
    const HandTree good = MakeHandTree({1, 2, 3}, {"one", "two", "three"});
    const std::size_t names = 24;
    const std::uint32_t self = 0x80000000u | names;
    std::vector<std::size_t> const &data = good.dataEntries, &languages = good.languageTables;
    // What, whether damage is reported, which of IDs 1, 2, 3 stay reachable, values written.
    using Case = std::tuple<char const *, bool, std::string,
                            std::vector<std::pair<std::size_t, std::uint32_t>>>;
    const std::vector<Case> cases = {
        {"unsorted IDs", false, "123", {{names + 16, 3}, {names + 32, 1}}},
        {"duplicate IDs keep the first", false, "13", {{names + 24, 1}}},
        {"child at its own table", true, "23", {{names + 20, self}}},
        {"type entry at the root", true, "", {{20, 0x80000000u}}},
        {"huge counts in the root", true, "", {{12, 0xFFFFFFFF}}},
        {"DataRVA outside the image", true, "23", {{data[0], 0x00900000}}},
        {"huge counts in a language table", true, "13", {{languages[1] + 12, 0xFFFF0000}}},
        {"name outside the tree", true, "13", {{names + 24, 0x80100000u}}},
        {"leaf at the type level", true, "", {{20, static_cast<std::uint32_t>(data[0])}}},
        {"table under a language", true, "23", {{languages[0] + 20, self}}},
        {"bit 31 names among the IDs", false, "12", {{names + 32, self}}},
    };
    for (auto const &[what, damaged, reachable, u32] : cases) {
        Bytes tree = good.bytes;
        for (auto const &[at, value] : u32)
            PutU32(tree, at, value);
        Loaded module(BuildPe(tree));
        ASSERT_TRUE(module.image) << what;
        std::string found;
        for (std::uint32_t id : {1, 2, 3})
            if (ResourceLeaf const *leaf = module.tree.Find(10, id); leaf && leaf->readable)
                found += static_cast<char>('0' + id);
        EXPECT_EQ(std::pair(module.tree.Damaged(), found), std::pair(damaged, reachable)) << what;
    }
    // A tree whose every leaf is removed is written as an empty root, not as empty tables.
    Loaded emptied(good.Pe());
    emptied.tree.Apply({{10, 1, 0, true, {}}, {10, 2, 0, true, {}}, {10, 3, 0, true, {}}});
    EXPECT_EQ(emptied.tree.Serialize(0x1000), Bytes(16, 0));
}

} // namespace
