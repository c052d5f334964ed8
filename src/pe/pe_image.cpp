// Parsing and validation of PE32/PE32+ headers and section tables; RVA mapping; checksum.
#include "pe/pe_image.h"

#include "core/byte_cursor.h"

namespace ril::pe {
namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint64_t kDosHeaderSize = 0x40;
constexpr std::uint64_t kCoffHeaderSize = 20;

constexpr bool IsPowerOfTwo(std::uint64_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// The DOS header, the PE signature and the COFF file header.
bool ParseFileHeader(core::ByteReader &file, Image &image, std::uint32_t &sections,
                     std::uint32_t &optionalSize) {
    if (file.Size() < kDosHeaderSize || file.U16At(0) != 0x5A4D) // "MZ"
        return false;
    std::uint64_t peOffset = file.U32At(0x3C);
    if (file.U32At(peOffset) != 0x00004550) // "PE\0\0"
        return false;
    image.coffOffset = peOffset + 4;
    sections = file.U16At(image.coffOffset + 2);
    image.pointerToSymbolTable = file.U32At(image.coffOffset + 8);
    image.numberOfSymbols = file.U32At(image.coffOffset + 12);
    optionalSize = file.U16At(image.coffOffset + 16);
    image.optionalOffset = image.coffOffset + kCoffHeaderSize;
    return file.Ok() && sections >= 1 && sections <= kMaxSections;
}

bool ParseOptionalHeader(core::ByteReader &file, Image &image, std::uint32_t optionalSize) {
    const std::uint64_t at = image.optionalOffset;
    std::uint16_t magic = file.U16At(at);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus)
        return false;
    image.pe32Plus = magic == kMagicPe32Plus;
    const std::uint64_t countField = image.pe32Plus ? 108 : 92;
    const std::uint64_t directories = image.pe32Plus ? 112 : 96;
    if (optionalSize < directories)
        return false;
    image.sizeOfInitializedData = file.U32At(at + 8);
    image.sectionAlignment = file.U32At(at + 32);
    image.fileAlignment = file.U32At(at + 36);
    image.sizeOfImage = file.U32At(at + 56);
    image.sizeOfHeaders = file.U32At(at + 60);
    std::uint32_t count = file.U32At(at + countField);
    if (!file.Ok() || count <= kDirectoryResource)
        return false;
    image.directoryCount = count < kMaxDirectories ? count : kMaxDirectories;
    image.directoryOffset = at + directories;
    if (directories + 8ull * image.directoryCount > optionalSize)
        return false;
    for (std::uint32_t i = 0; i < image.directoryCount; ++i)
        image.directories.push_back({file.U32At(image.directoryOffset + 8ull * i),
                                     file.U32At(image.directoryOffset + 8ull * i + 4)});
    return file.Ok();
}

bool AlignmentsValid(Image const &image) {
    const std::uint32_t fa = image.fileAlignment;
    const std::uint32_t sa = image.sectionAlignment;
    if (!IsPowerOfTwo(fa) || !IsPowerOfTwo(sa) || sa < fa || fa > 0x10000)
        return false;
    return fa >= 0x200 || fa == sa; // small alignments only when both are equal
}

bool ParseSections(core::ByteReader &file, Image &image, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = image.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * i;
        Section section;
        section.headerOffset = at;
        section.virtualSize = file.U32At(at + 8);
        section.virtualAddress = file.U32At(at + 12);
        section.rawSize = file.U32At(at + 16);
        section.rawOffset = file.U32At(at + 20);
        section.characteristics = file.U32At(at + 36);
        image.sections.push_back(section);
    }
    return file.Ok();
}

// Raw data inside the file; RVAs aligned, ascending and not overlapping, above the headers
// and below SizeOfImage.
bool SectionsValid(Image const &image) {
    std::uint64_t nextFree = core::AlignUp(image.sizeOfHeaders, image.sectionAlignment);
    for (Section const &section : image.sections) {
        if (section.rawSize != 0 &&
            !core::InRange(section.rawOffset, section.rawSize, image.fileSize))
            return false;
        if (section.virtualAddress % image.sectionAlignment != 0 ||
            section.virtualAddress < nextFree)
            return false;
        nextFree = core::AlignUp(section.MemoryEnd(), image.sectionAlignment);
    }
    return image.sections.back().MemoryEnd() <= image.sizeOfImage;
}

// The resource directory, when present, starts inside a section's raw data and its declared
// size stays inside that section's raw data.
bool ResourceDirectoryValid(Image const &image) {
    DataDirectory resources = image.Directory(kDirectoryResource);
    if (resources.size == 0)
        return true;
    return image.FileOffsetOf(resources.rva, resources.size).has_value();
}

} // namespace

DataDirectory Image::Directory(unsigned index) const {
    return index < directories.size() ? directories[index] : DataDirectory{};
}

std::optional<std::size_t> Image::SectionOfRva(std::uint64_t rva) const {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        Section const &section = sections[i];
        std::uint64_t extent =
            section.virtualSize > section.rawSize ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < extent)
            return i;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Image::FileOffsetOf(std::uint64_t rva, std::uint64_t length) const {
    std::optional<std::size_t> index = SectionOfRva(rva);
    if (!index)
        return std::nullopt;
    Section const &section = sections[*index];
    std::uint64_t inside = rva - section.virtualAddress;
    if (!core::InRange(inside, length, section.rawSize))
        return std::nullopt;
    return section.rawOffset + inside;
}

std::optional<std::uint64_t> Image::RawEndOfSectionAt(std::uint64_t rva) const {
    std::optional<std::uint64_t> start = FileOffsetOf(rva, 0);
    std::optional<std::size_t> index = SectionOfRva(rva);
    if (!start || !index)
        return std::nullopt;
    return sections[*index].RawEnd();
}

std::optional<Image> ParseImage(std::span<const std::uint8_t> file) {
    core::ByteReader reader(file);
    Image image;
    image.fileSize = file.size();
    std::uint32_t sectionCount = 0;
    std::uint32_t optionalSize = 0;
    if (!ParseFileHeader(reader, image, sectionCount, optionalSize) ||
        !ParseOptionalHeader(reader, image, optionalSize) || !AlignmentsValid(image))
        return std::nullopt;
    image.sectionTableOffset = image.optionalOffset + optionalSize;
    const std::uint64_t headersEnd =
        image.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * sectionCount;
    if (headersEnd > image.sizeOfHeaders || image.sizeOfHeaders > image.fileSize)
        return std::nullopt;
    if (!ParseSections(reader, image, sectionCount) || !SectionsValid(image) ||
        !ResourceDirectoryValid(image))
        return std::nullopt;
    return image;
}

std::uint32_t ComputeCheckSum(std::span<const std::uint8_t> file, std::uint64_t checkSumOffset) {
    std::uint64_t sum = 0;
    const std::size_t size = file.size();
    // The CheckSum field's own bytes count as zero; an odd last byte is a word's low byte.
    auto byteAt = [&](std::size_t i) -> std::uint8_t {
        return i >= size || (i >= checkSumOffset && i - checkSumOffset < 4) ? 0 : file[i];
    };
    for (std::size_t i = 0; i < size; i += 2) {
        const std::uint8_t pair[2] = {byteAt(i), byteAt(i + 1)};
        sum += core::LoadU16(pair);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + size);
}

} // namespace ril::pe
