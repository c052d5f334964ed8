// Fixture paths, little-endian patching and hand-made PE files for the PE layer's tests.
#include "pe/pe_test_support.h"

#include "core/byte_cursor.h"

#include <tuple>

using namespace ril::core;

namespace ril::pe_test {

std::string FixturePath(std::string const &name) {
    return RIL_PE_FIXTURES_DIR "/" + name;
}

Bytes Fixture(std::string const &name) {
    return test::ReadFile(FixturePath(name));
}

Bytes Text(std::string const &text) {
    return Bytes(text.begin(), text.end());
}

Loaded::Loaded(Bytes bytes)
    : file(std::move(bytes)), image(pe::ParseImage(file)),
      tree(image ? pe::ResourceTree::Read(*image, file) : pe::ResourceTree()) {}

std::string LeafText(pe::ResourceLeaf const *leaf) {
    return leaf == nullptr ? "<none>" : std::string(leaf->data.begin(), leaf->data.end());
}

HandTree MakeHandTree(std::vector<std::uint16_t> const &names,
                      std::vector<std::string> const &texts) {
    HandTree tree;
    const std::size_t n = names.size();
    std::size_t at = 24 + 16 + 8 * n; // root, then the name table
    for (std::size_t i = 0; i < n; ++i, at += 24)
        tree.languageTables.push_back(at);
    for (std::size_t i = 0; i < n; ++i, at += 16)
        tree.dataEntries.push_back(at);
    Bytes &b = tree.bytes;
    b.assign(at, 0);
    PutU16(b, 14, 1);
    PutU32(b, 16, 10);
    PutU32(b, 20, 0x80000000u | 24);
    PutU16(b, 24 + 14, static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        auto const languages = static_cast<std::uint32_t>(tree.languageTables[i]);
        PutU32(b, 24 + 16 + 8 * i, names[i]);
        PutU32(b, 24 + 20 + 8 * i, 0x80000000u | languages);
        PutU16(b, languages + 14, 1); // one entry: language 0
        PutU32(b, languages + 20, static_cast<std::uint32_t>(tree.dataEntries[i]));
        PutU32(b, tree.dataEntries[i], kHandResourceRva + static_cast<std::uint32_t>(b.size()));
        PutU32(b, tree.dataEntries[i] + 4, static_cast<std::uint32_t>(texts[i].size()));
        b.insert(b.end(), texts[i].begin(), texts[i].end());
        b.resize(AlignUp(b.size(), 8));
    }
    return tree;
}

Bytes BuildPe(Bytes const &resources, bool dataAfter) {
    // Name, RVA, raw bytes and characteristics of each section.
    std::vector<std::tuple<std::string, std::uint32_t, Bytes, std::uint32_t>> sections = {
        {".text", 0x1000, Bytes(16, 0xC3), 0x60000020}};
    if (!resources.empty())
        sections.emplace_back(".rsrc", kHandResourceRva, resources, 0x40000040);
    if (dataAfter)
        sections.emplace_back(".data", 0x3000, Text("DATA-SECTION"), 0xC0000040);
    constexpr std::size_t kOptional = 0x58, kDirectories = kOptional + 112,
                          kTable = kOptional + 240;
    Bytes file(0x200, 0);
    file[0] = 'M', file[1] = 'Z', file[0x40] = 'P', file[0x41] = 'E';
    PutU32(file, 0x3C, 0x40);
    PutU16(file, 0x44, 0x8664);
    PutU16(file, 0x46, static_cast<std::uint16_t>(sections.size()));
    PutU16(file, 0x54, 240);              // SizeOfOptionalHeader
    PutU16(file, 0x56, 0x2022);           // a DLL
    PutU16(file, kOptional, 0x20B);       // PE32+
    PutU32(file, kOptional + 32, 0x1000); // SectionAlignment
    PutU32(file, kOptional + 36, 0x200);  // FileAlignment
    PutU32(file, kOptional + 60, 0x200);  // SizeOfHeaders
    PutU32(file, kOptional + 108, 16);    // NumberOfRvaAndSizes
    for (std::size_t i = 0; i < sections.size(); ++i) {
        auto const &[name, va, raw, flags] = sections[i];
        const std::size_t header = kTable + 40 * i;
        auto const size = static_cast<std::uint32_t>(raw.size());
        std::copy(name.begin(), name.end(), file.begin() + header);
        PutU32(file, header + 8, size);
        PutU32(file, header + 12, va);
        PutU32(file, header + 16, static_cast<std::uint32_t>(AlignUp(size, 0x200)));
        PutU32(file, header + 20, static_cast<std::uint32_t>(file.size()));
        PutU32(file, header + 36, flags);
        file.insert(file.end(), raw.begin(), raw.end());
        file.resize(AlignUp(file.size(), 0x200), 0);
        PutU32(file, kOptional + 56, static_cast<std::uint32_t>(AlignUp(va + size, 0x1000)));
        if (va == kHandResourceRva)
            PutU32(file, kDirectories + 16, va), PutU32(file, kDirectories + 20, size);
    }
    return file;
}

} // namespace ril::pe_test
