// Fixture paths, little-endian patching and hand-made PE files for the PE layer's tests.
#include "pe/pe_test_support.h"

#include "core/byte_cursor.h"

#include <fstream>

namespace ril::pe_test {

std::vector<std::string> Arches() {
    std::ifstream list(FixturePath("toolchains.txt"));
    std::vector<std::string> arches;
    for (std::string built; list >> built;)
        arches.push_back(built);
    return arches;
}

std::string FixturePath(const std::string &name) {
    return RIL_PE_FIXTURES_DIR "/" + name;
}

Bytes Fixture(const std::string &name) {
    return test::ReadFile(FixturePath(name));
}

Bytes Text(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

Loaded::Loaded(Bytes bytes)
    : file(std::move(bytes)), image(platform::pe::ParseImage(file)),
      tree(image ? platform::pe::ResourceTree::Read(*image, file) : platform::pe::ResourceTree()) {}

std::string LeafText(const platform::pe::ResourceLeaf *leaf) {
    return leaf == nullptr ? "<none>" : std::string(leaf->data.begin(), leaf->data.end());
}

std::uint32_t GetU32(const Bytes &bytes, std::size_t at) {
    return GetU16(bytes, at) | static_cast<std::uint32_t>(GetU16(bytes, at + 2)) << 16;
}

std::uint16_t GetU16(const Bytes &bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

void PutU32(Bytes &bytes, std::size_t at, std::uint32_t value) {
    PutU16(bytes, at, static_cast<std::uint16_t>(value));
    PutU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

void PutU16(Bytes &bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

HandTree MakeHandTree(const std::vector<std::uint16_t> &names,
                      const std::vector<std::string> &texts) {
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
        const auto languages = static_cast<std::uint32_t>(tree.languageTables[i]);
        const std::size_t data = tree.dataEntries[i];
        PutU32(b, 24 + 16 + 8 * i, names[i]);
        PutU32(b, 24 + 20 + 8 * i, 0x80000000u | languages);
        PutU16(b, languages + 14, 1); // one entry: language 0
        PutU32(b, languages + 20, static_cast<std::uint32_t>(data));
        PutU32(b, data, kHandResourceRva + static_cast<std::uint32_t>(b.size()));
        PutU32(b, data + 4, static_cast<std::uint32_t>(texts[i].size()));
        b.insert(b.end(), texts[i].begin(), texts[i].end());
        b.resize(AlignUp(b.size(), 8));
    }
    return tree;
}

Bytes BuildPe(const Bytes &resources, bool pe32Plus, bool dataAfter) {
    struct Section {
        const char *name;
        std::uint32_t va;
        Bytes raw;
        std::uint32_t flags;
    };
    std::vector<Section> sections = {{".text", 0x1000, Bytes(16, 0xC3), 0x60000020}};
    if (!resources.empty())
        sections.push_back({".rsrc", kHandResourceRva, resources, 0x40000040});
    if (dataAfter)
        sections.push_back({".data", 0x3000, Text("DATA-SECTION"), 0xC0000040});
    const std::uint32_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t coff = 0x44, optional = coff + 20, table = optional + optionalSize;
    const std::size_t directories = optional + (pe32Plus ? 112 : 96);
    Bytes file(0x200, 0);
    file[0] = 'M', file[1] = 'Z', file[0x40] = 'P', file[0x41] = 'E';
    PutU32(file, 0x3C, 0x40);
    PutU16(file, coff, pe32Plus ? 0x8664 : 0x14C);
    PutU16(file, coff + 2, static_cast<std::uint16_t>(sections.size()));
    PutU16(file, coff + 16, static_cast<std::uint16_t>(optionalSize));
    PutU16(file, coff + 18, 0x2022);
    PutU16(file, optional, pe32Plus ? 0x20B : 0x10B);
    PutU32(file, optional + 32, 0x1000); // SectionAlignment
    PutU32(file, optional + 36, 0x200);  // FileAlignment
    PutU32(file, optional + 60, 0x200);  // SizeOfHeaders
    PutU32(file, optional + (pe32Plus ? 108 : 92), 16);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section &s = sections[i];
        const std::size_t header = table + 40 * i;
        const auto rawOffset = static_cast<std::uint32_t>(file.size());
        const auto size = static_cast<std::uint32_t>(s.raw.size());
        const auto rawSize = static_cast<std::uint32_t>(AlignUp(size, 0x200));
        std::copy(s.name, s.name + std::char_traits<char>::length(s.name), file.begin() + header);
        PutU32(file, header + 8, size);
        PutU32(file, header + 12, s.va);
        PutU32(file, header + 16, rawSize);
        PutU32(file, header + 20, rawOffset);
        PutU32(file, header + 36, s.flags);
        file.insert(file.end(), s.raw.begin(), s.raw.end());
        file.resize(rawOffset + rawSize, 0);
        PutU32(file, optional + 56, static_cast<std::uint32_t>(AlignUp(s.va + size, 0x1000)));
        if (s.va == kHandResourceRva)
            PutU32(file, directories + 16, s.va), PutU32(file, directories + 20, size);
    }
    return file;
}

} // namespace ril::pe_test
