// Fixture paths, file helpers and hand-made PE files for the PE layer's tests.
#include "pe/pe_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace ril::pe_test {

std::string FixtureDir() {
    const char *fromEnvironment = std::getenv("RIL_PE_FIXTURES");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0')
        return fromEnvironment;
#ifdef RIL_PE_FIXTURES_DIR
    return RIL_PE_FIXTURES_DIR;
#else
    return ".";
#endif
}

std::vector<std::string> Arches() {
    std::vector<std::string> arches;
    for (const char *arch : {"64", "32"})
        if (HaveFixtures(arch))
            arches.push_back(arch);
    return arches;
}

bool HaveFixtures(const std::string &arch) {
    std::ifstream list(FixtureDir() + "/toolchains.txt");
    std::string built;
    while (list >> built)
        if (built == arch)
            return true;
    return false;
}

std::string FixturePath(const std::string &name) {
    return FixtureDir() + "/" + name;
}

Bytes ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

Bytes Text(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

Loaded::Loaded(Bytes bytes)
    : file(std::move(bytes)), image(platform::pe::ParseImage(file)),
      tree(image ? platform::pe::ResourceTree::Read(*image, file) : platform::pe::ResourceTree()) {}

std::string LeafText(const platform::pe::ResourceLeaf *leaf) {
    if (leaf == nullptr)
        return "<none>";
    return std::string(leaf->data.begin(), leaf->data.end());
}

std::uint32_t GetU32(const Bytes &bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t GetU16(const Bytes &bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutU32(Bytes &bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU16(Bytes &bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

HandTree MakeHandTree(std::uint32_t rva, const std::vector<std::uint16_t> &names,
                      const std::vector<std::string> &texts) {
    HandTree tree;
    const std::size_t n = names.size();
    tree.nameTable = 16 + 8;
    std::size_t at = tree.nameTable + 16 + 8 * n;
    for (std::size_t i = 0; i < n; ++i, at += 24)
        tree.languageTables.push_back(at);
    for (std::size_t i = 0; i < n; ++i, at += 16)
        tree.dataEntries.push_back(at);
    std::vector<std::size_t> blobs;
    for (std::size_t i = 0; i < n; ++i) {
        blobs.push_back(at);
        at = (at + texts[i].size() + 7) / 8 * 8;
    }
    tree.bytes.assign(at, 0);
    Bytes &b = tree.bytes;
    PutU16(b, 14, 1);
    PutU32(b, 16, 10);
    PutU32(b, 20, 0x80000000u | static_cast<std::uint32_t>(tree.nameTable));
    PutU16(b, tree.nameTable + 14, static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t entry = tree.nameTable + 16 + 8 * i;
        PutU32(b, entry, names[i]);
        PutU32(b, entry + 4, 0x80000000u | static_cast<std::uint32_t>(tree.languageTables[i]));
        PutU16(b, tree.languageTables[i] + 14, 1);
        PutU32(b, tree.languageTables[i] + 16, 0); // language 0
        PutU32(b, tree.languageTables[i] + 20, static_cast<std::uint32_t>(tree.dataEntries[i]));
        PutU32(b, tree.dataEntries[i], rva + static_cast<std::uint32_t>(blobs[i]));
        PutU32(b, tree.dataEntries[i] + 4, static_cast<std::uint32_t>(texts[i].size()));
        std::copy(texts[i].begin(), texts[i].end(), b.begin() + static_cast<long>(blobs[i]));
    }
    return tree;
}

namespace {

struct LayoutSection {
    const char *name;
    std::uint32_t va;
    Bytes raw;
    std::uint32_t virtualSize;
    std::uint32_t flags;
};

std::uint32_t AlignUp(std::uint64_t value, std::uint32_t alignment) {
    return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

} // namespace

Bytes BuildPe(const PeLayout &layout) {
    std::vector<LayoutSection> sections;
    sections.push_back({".text", 0x1000, Bytes(16, 0xC3), 16, 0x60000020});
    if (!layout.resources.empty())
        sections.push_back({".rsrc", kHandResourceRva, layout.resources,
                            static_cast<std::uint32_t>(layout.resources.size()), 0x40000040});
    if (layout.dataAfter)
        sections.push_back({".data", 0x3000, Text("DATA-SECTION"), 12, 0xC0000040});
    const std::uint32_t optionalSize = layout.pe32Plus ? 240 : 224;
    const std::size_t coff = 0x44;
    const std::size_t optional = coff + 20;
    const std::size_t table = optional + optionalSize;
    Bytes file(0x200, 0);
    file[0] = 'M';
    file[1] = 'Z';
    PutU32(file, 0x3C, 0x40);
    file[0x40] = 'P';
    file[0x41] = 'E';
    PutU16(file, coff, layout.pe32Plus ? 0x8664 : 0x14C);
    PutU16(file, coff + 2, static_cast<std::uint16_t>(sections.size()));
    PutU16(file, coff + 16, static_cast<std::uint16_t>(optionalSize));
    PutU16(file, coff + 18, 0x2022);
    PutU16(file, optional, layout.pe32Plus ? 0x20B : 0x10B);
    PutU32(file, optional + 32, 0x1000); // SectionAlignment
    PutU32(file, optional + 36, 0x200);  // FileAlignment
    PutU32(file, optional + 60, 0x200);  // SizeOfHeaders
    PutU32(file, optional + (layout.pe32Plus ? 108 : 92), 16);
    const std::size_t directories = optional + (layout.pe32Plus ? 112 : 96);
    std::uint32_t sizeOfImage = 0x1000;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const LayoutSection &s = sections[i];
        const std::size_t header = table + 40 * i;
        const std::uint32_t rawOffset = static_cast<std::uint32_t>(file.size());
        const std::uint32_t rawSize = AlignUp(s.raw.size(), 0x200);
        std::copy(s.name, s.name + std::char_traits<char>::length(s.name), file.begin() + header);
        PutU32(file, header + 8, s.virtualSize);
        PutU32(file, header + 12, s.va);
        PutU32(file, header + 16, rawSize);
        PutU32(file, header + 20, rawOffset);
        PutU32(file, header + 36, s.flags);
        file.insert(file.end(), s.raw.begin(), s.raw.end());
        file.resize(rawOffset + rawSize, 0);
        sizeOfImage = AlignUp(s.va + std::uint64_t{s.virtualSize}, 0x1000);
        if (std::string(s.name) == ".rsrc") {
            PutU32(file, directories + 16, s.va);
            PutU32(file, directories + 20, s.virtualSize);
        }
    }
    PutU32(file, optional + 56, sizeOfImage);
    file.insert(file.end(), layout.overlay.begin(), layout.overlay.end());
    return file;
}

Bytes SimplePe(Bytes resources, bool pe32Plus) {
    PeLayout layout;
    layout.pe32Plus = pe32Plus;
    layout.resources = std::move(resources);
    return BuildPe(layout);
}

} // namespace ril::pe_test
