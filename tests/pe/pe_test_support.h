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

// Little-endian values at `at` (out of range throws).
template <typename T> T GetLe(const Bytes &bytes, std::size_t at) {
    T value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
        value = static_cast<T>(value << 8 | bytes.at(at + i));
    return value;
}
template <typename T> void PutLe(Bytes &bytes, std::size_t at, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> 8 * i);
}
inline constexpr auto &GetU16 = GetLe<std::uint16_t>;
inline constexpr auto &GetU32 = GetLe<std::uint32_t>;
inline constexpr auto &PutU16 = PutLe<std::uint16_t>;
inline constexpr auto &PutU32 = PutLe<std::uint32_t>;

// A small PE32+ file (FileAlignment 0x200): .text at 0x1000, .rsrc at kHandResourceRva
// holding `resources` (none when empty), optionally .data at 0x3000.
constexpr std::uint32_t kHandResourceRva = 0x2000;
Bytes BuildPe(const Bytes &resources, bool dataAfter = false);

// A resource tree for kHandResourceRva: type 10, integer names, language 0; names at 24.
struct HandTree {
    Bytes bytes;
    std::vector<std::size_t> languageTables, dataEntries; // per name
    Bytes Pe() const { return BuildPe(bytes); }
};
HandTree MakeHandTree(const std::vector<std::uint16_t> &names,
                      const std::vector<std::string> &texts);

} // namespace ril::pe_test
