// Helpers for the PE layer's tests: the modules built at test time, file access, and small
// hand-made PE files and resource trees for malformed inputs.
#pragma once

#include "pe/pe_image.h"
#include "pe/pe_resources.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ril::pe_test {

using Bytes = std::vector<std::uint8_t>;

// The folder the fixture script built the modules into.
std::string FixtureDir();
// True when modules for `arch` ("64" or "32") were built; false when that toolchain is absent.
bool HaveFixtures(const std::string &arch);
// The architectures ("64", "32") whose modules were built.
std::vector<std::string> Arches();

// Skips the current test when the modules of `arch` (a string literal) were not built.
#define REQUIRE_FIXTURES(arch)                                                                     \
    if (!::ril::pe_test::HaveFixtures(arch))                                                       \
    GTEST_SKIP() << "no " arch "-bit MinGW-w64 toolchain built the test modules"
std::string FixturePath(const std::string &name);

Bytes ReadFile(const std::string &path);
bool WriteFile(const std::string &path, const Bytes &bytes);
Bytes Text(const std::string &text); // the characters, no terminator

// A file with its parsed headers and resource tree (whose leaves point into `file`).
struct Loaded {
    explicit Loaded(Bytes bytes);
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;

    Bytes file;
    std::optional<platform::pe::Image> image;
    platform::pe::ResourceTree tree;
};

// The bytes of a leaf as text.
std::string LeafText(const platform::pe::ResourceLeaf *leaf);

// Little-endian access for patching test files.
std::uint32_t GetU32(const Bytes &bytes, std::size_t at);
std::uint16_t GetU16(const Bytes &bytes, std::size_t at);
void PutU32(Bytes &bytes, std::size_t at, std::uint32_t value);
void PutU16(Bytes &bytes, std::size_t at, std::uint16_t value);

// A resource tree laid out by hand: type 10, the given integer names, language 0 each.
// Offsets are relative to the tree; DataRVAs assume the tree sits at `rva`.
struct HandTree {
    Bytes bytes;
    std::size_t nameTable = 0;               // the RT_RCDATA name table
    std::vector<std::size_t> languageTables; // per name
    std::vector<std::size_t> dataEntries;    // per name
};
HandTree MakeHandTree(std::uint32_t rva, const std::vector<std::uint16_t> &names,
                      const std::vector<std::string> &texts);

// A small PE file: headers (FileAlignment 0x200, SectionAlignment 0x1000), a .text section
// at 0x1000, a .rsrc section at 0x2000 holding `resources` (none when empty), optionally a
// .data section after it, then `overlay`.
struct PeLayout {
    bool pe32Plus = true;
    Bytes resources;
    bool dataAfter = false;
    Bytes overlay;
};
constexpr std::uint32_t kHandResourceRva = 0x2000;
Bytes BuildPe(const PeLayout &layout);
// BuildPe with only the resources (and the kind) chosen.
Bytes SimplePe(Bytes resources, bool pe32Plus = true);

} // namespace ril::pe_test
