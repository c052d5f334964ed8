// A PE32/PE32+ file held in memory, parsed and validated: headers, data directories, section
// table, and the mapping from RVAs to file offsets. Nothing here trusts a value from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ril::pe {

constexpr unsigned kDirectoryResource = 2;
constexpr unsigned kDirectoryCertificate = 4;
constexpr unsigned kDirectoryDebug = 6;
constexpr unsigned kMaxDirectories = 16;
constexpr std::uint32_t kMaxSections = 96;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kSectionInitializedData = 0x00000040;
constexpr std::uint32_t kSectionRead = 0x40000000;

struct Section {
    std::uint64_t headerOffset = 0; // file offset of the 40-byte section header
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t characteristics = 0;

    // What the section occupies in memory: VirtualSize, or SizeOfRawData when that is 0.
    std::uint64_t MemorySize() const { return virtualSize != 0 ? virtualSize : rawSize; }
    std::uint64_t MemoryEnd() const { return std::uint64_t{virtualAddress} + MemorySize(); }
    std::uint64_t RawEnd() const { return std::uint64_t{rawOffset} + rawSize; }
};

struct DataDirectory {
    std::uint32_t rva = 0; // a file offset for the certificate table
    std::uint32_t size = 0;
};

struct Image {
    std::uint64_t fileSize = 0;
    bool pe32Plus = false;
    std::uint64_t coffOffset = 0;         // the COFF file header, after "PE\0\0"
    std::uint64_t optionalOffset = 0;     // the optional header
    std::uint64_t directoryOffset = 0;    // DataDirectory[0]
    std::uint64_t sectionTableOffset = 0; // the first section header
    std::uint32_t directoryCount = 0;     // NumberOfRvaAndSizes, clamped to 16
    std::uint32_t fileAlignment = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t pointerToSymbolTable = 0;
    std::uint32_t numberOfSymbols = 0;
    std::vector<Section> sections; // in section-table order: ascending RVAs
    std::vector<DataDirectory> directories;

    // Field offsets in the file.
    std::uint64_t NumberOfSectionsOffset() const { return coffOffset + 2; }
    std::uint64_t PointerToSymbolTableOffset() const { return coffOffset + 8; }
    std::uint64_t SizeOfInitializedDataOffset() const { return optionalOffset + 8; }
    std::uint64_t SizeOfImageOffset() const { return optionalOffset + 56; }
    std::uint64_t CheckSumOffset() const { return optionalOffset + 64; }
    std::uint64_t DirectoryEntryOffset(unsigned index) const { return directoryOffset + 8 * index; }

    // The entry, or an empty one when the file has no such entry.
    DataDirectory Directory(unsigned index) const;
    // The section whose memory range holds `rva`.
    std::optional<std::size_t> SectionOfRva(std::uint64_t rva) const;
    // The file offset of the `length` bytes at `rva`, when all of them are raw data of one
    // section (memory past a section's raw data is zeros, not file bytes).
    std::optional<std::uint64_t> FileOffsetOf(std::uint64_t rva, std::uint64_t length) const;
    // The end of the raw data of the section whose raw data holds `rva`.
    std::optional<std::uint64_t> RawEndOfSectionAt(std::uint64_t rva) const;
};

// Parses and validates a whole PE file; nothing when it is not a well-formed PE32/PE32+.
std::optional<Image> ParseImage(std::span<const std::uint8_t> file);

// The PE checksum of `file` with the 4 bytes at `checkSumOffset` taken as zero.
std::uint32_t ComputeCheckSum(std::span<const std::uint8_t> file, std::uint64_t checkSumOffset);

} // namespace ril::pe
