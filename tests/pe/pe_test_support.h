// Helpers for the PE layer's tests: the MinGW modules built at test time, little-endian
// patching, and small hand-made PE files and resource trees for malformed inputs.
#pragma once

#include "pe/pe_image.h"
#include "pe/pe_resources.h"
#include "support/test_support.h"

#include <optional>

namespace ril::pe_test {

using test::Bytes;

// The architectures ("64", "32") whose modules the fixture script built.
std::vector<std::string> Arches();
// Skips the current test when no toolchain built the x86-64 modules.
#define REQUIRE_FIXTURES()                                                                         \
    if (::ril::pe_test::Arches().empty() || ::ril::pe_test::Arches()[0] != "64")                   \
    GTEST_SKIP() << "no 64-bit MinGW-w64 toolchain built the test modules"
std::string FixturePath(const std::string &name);
Bytes Fixture(const std::string &name);
Bytes Text(const std::string &text); // the characters, no terminator

// A file with its parsed headers and resource tree (whose leaves point into `file`).
struct Loaded {
    explicit Loaded(Bytes bytes);
    Loaded(const Loaded &) = delete;
    Bytes file;
    std::optional<platform::pe::Image> image;
    platform::pe::ResourceTree tree;
};
std::string LeafText(const platform::pe::ResourceLeaf *leaf); // "<none>" for no leaf

std::uint32_t GetU32(const Bytes &bytes, std::size_t at);
std::uint16_t GetU16(const Bytes &bytes, std::size_t at);
void PutU32(Bytes &bytes, std::size_t at, std::uint32_t value);
void PutU16(Bytes &bytes, std::size_t at, std::uint16_t value);

// A small PE file (e_lfanew 0x40, FileAlignment 0x200, SectionAlignment 0x1000): .text at
// 0x1000, .rsrc at kHandResourceRva holding `resources` (none when empty), optionally .data
// at 0x3000.
constexpr std::uint32_t kHandResourceRva = 0x2000;
Bytes BuildPe(const Bytes &resources, bool pe32Plus = true, bool dataAfter = false);

// A resource tree laid out by hand for kHandResourceRva: type 10, the given integer names,
// language 0 each; its RT_RCDATA name table at offset 24.
struct HandTree {
    Bytes bytes;
    std::vector<std::size_t> languageTables, dataEntries; // per name
    Bytes Pe() const { return BuildPe(bytes); }
};
HandTree MakeHandTree(const std::vector<std::uint16_t> &names,
                      const std::vector<std::string> &texts);

} // namespace ril::pe_test
