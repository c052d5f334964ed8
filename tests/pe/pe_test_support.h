// Helpers for the PE layer's tests: the MinGW modules built at test time, little-endian
// patching, and small hand-made PE files and resource trees for malformed inputs.
#pragma once

#include "pe/pe_image.h"
#include "pe/pe_resources.h"
#include "support/test_support.h"

#include <filesystem>
#include <optional>

namespace ril::pe_test {

using test::Bytes;

// Skips the current test when the x86-64 modules were not built.
#define REQUIRE_FIXTURES()                                                                         \
    if (!std::filesystem::exists(::ril::pe_test::FixturePath("mid64.dll")))                        \
    GTEST_SKIP() << "no 64-bit MinGW-w64 toolchain built the test modules"
std::string FixturePath(std::string const &name);
Bytes Fixture(std::string const &name);
Bytes Text(std::string const &text); // the characters, no terminator

// A file with its parsed headers and resource tree (whose leaves point into `file`).
struct Loaded {
    explicit Loaded(Bytes bytes);
    Loaded(Loaded const &) = delete;
    Bytes file;
    std::optional<pe::Image> image;
    pe::ResourceTree tree;
};
std::string LeafText(pe::ResourceLeaf const *leaf); // "<none>" for no leaf

// Little-endian values at `at` (out of range throws).
inline std::uint16_t GetU16(Bytes const &b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
inline std::uint32_t GetU32(Bytes const &b, std::size_t at) {
    return GetU16(b, at) | std::uint32_t{GetU16(b, at + 2)} << 16;
}
inline void PutU16(Bytes &b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v), b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(Bytes &b, std::size_t at, std::uint32_t v) {
    PutU16(b, at, v), PutU16(b, at + 2, v >> 16);
}

// A small PE32+ file (FileAlignment 0x200): .text at 0x1000, .rsrc at kHandResourceRva
// holding `resources` (none when empty), optionally .data at 0x3000.
constexpr std::uint32_t kHandResourceRva = 0x2000;
Bytes BuildPe(Bytes const &resources, bool dataAfter = false);

// A resource tree for kHandResourceRva: type 10, integer names, language 0; names at 24.
struct HandTree {
    Bytes bytes;
    std::vector<std::size_t> languageTables, dataEntries; // per name
    Bytes Pe() const { return BuildPe(bytes); }
};
HandTree MakeHandTree(std::vector<std::uint16_t> const &names,
                      std::vector<std::string> const &texts);

} // namespace ril::pe_test
