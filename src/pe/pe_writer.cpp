// Placement of a new resource tree in a PE file, and the splice that writes it while keeping
// every other section's RVA and every byte no section owns.
#include "pe/pe_writer.h"

#include "core/byte_cursor.h"

#include <algorithm>
#include <optional>

namespace ril::pe {
namespace {

constexpr std::uint64_t kMaxU32 = 0xFFFFFFFFull;
constexpr std::uint64_t kSymbolSize = 18;
constexpr std::uint64_t kDebugEntrySize = 28;
constexpr std::uint32_t kNewSectionFlags = kSectionInitializedData | kSectionRead;

// The file with the bytes [cut, cutEnd) replaced by `block`; everything after moves by Delta.
struct Splice {
    std::uint64_t cut = 0;
    std::uint64_t cutEnd = 0;
    std::vector<std::uint8_t> block;

    std::int64_t Delta() const {
        return static_cast<std::int64_t>(block.size()) - static_cast<std::int64_t>(cutEnd - cut);
    }
    // Where an old file offset lands; nothing when it pointed into the replaced bytes.
    std::optional<std::uint64_t> Move(std::uint64_t offset) const {
        if (offset >= cutEnd)
            return static_cast<std::uint64_t>(static_cast<std::int64_t>(offset) + Delta());
        if (offset >= cut)
            return std::nullopt;
        return offset;
    }
};

// A 32-bit file offset stored in the file at `at`.
struct OffsetField {
    std::uint64_t at = 0;
    std::uint32_t value = 0;
};

bool Overlap(std::uint64_t a, std::uint64_t aSize, std::uint64_t b, std::uint64_t bSize) {
    return a < b + bSize && b < a + aSize;
}

std::uint64_t SectionExtent(Section const &section) {
    return std::max<std::uint64_t>(section.virtualSize, section.rawSize);
}

// The section that holds the resource tree and nothing else as far as the headers tell: the
// tree starts the section, no other directory points into it and no raw data overlaps it.
std::optional<std::size_t> OwnedResourceSection(Image const &image) {
    const DataDirectory resources = image.Directory(kDirectoryResource);
    std::optional<std::size_t> index = image.SectionOfRva(resources.rva);
    if (resources.size == 0 || !index)
        return std::nullopt;
    Section const &owner = image.sections[*index];
    if (resources.rva != owner.virtualAddress || owner.rawSize == 0 ||
        owner.rawOffset < image.sizeOfHeaders)
        return std::nullopt;
    for (unsigned i = 0; i < image.directories.size(); ++i) {
        const DataDirectory d = image.directories[i];
        if (i != kDirectoryResource && i != kDirectoryCertificate && d.size != 0 &&
            Overlap(d.rva, d.size, owner.virtualAddress, SectionExtent(owner)))
            return std::nullopt;
    }
    for (std::size_t i = 0; i < image.sections.size(); ++i) {
        Section const &other = image.sections[i];
        if (i != *index && other.rawSize != 0 &&
            Overlap(other.rawOffset, other.rawSize, owner.rawOffset, owner.rawSize))
            return std::nullopt;
    }
    return index;
}

// The end of all section data in the file: what follows is overlay, symbols, certificates.
std::uint64_t SectionDataEnd(Image const &image) {
    std::uint64_t end = image.sizeOfHeaders;
    for (Section const &section : image.sections)
        if (section.rawSize != 0)
            end = std::max(end, section.RawEnd());
    return end;
}

// Every file offset that the rebuild must move, except the PointerToRawData of a section
// rewritten in place. Nothing when one of them points outside the file.
std::optional<std::vector<OffsetField>> OffsetFields(std::span<const std::uint8_t> file,
                                                     Image const &image,
                                                     std::optional<std::size_t> rewritten) {
    core::ByteReader reader(file);
    std::vector<OffsetField> fields;
    auto add = [&](std::uint64_t at) {
        std::uint32_t value = reader.U32At(at);
        if (value != 0)
            fields.push_back({at, value});
    };
    // An index past the last section stands for none.
    const std::size_t skipped = rewritten.value_or(image.sections.size());
    for (std::size_t i = 0; i < image.sections.size(); ++i) {
        Section const &section = image.sections[i];
        if (i != skipped && section.rawSize != 0)
            add(section.headerOffset + 20);
        add(section.headerOffset + 24); // COFF relocations and line numbers (zero in images)
        add(section.headerOffset + 28);
    }
    if (image.pointerToSymbolTable != 0 &&
        !core::InRange(image.pointerToSymbolTable, kSymbolSize * image.numberOfSymbols,
                       file.size()))
        return std::nullopt;
    add(image.PointerToSymbolTableOffset());
    const DataDirectory certificates = image.Directory(kDirectoryCertificate);
    if (certificates.size != 0) {
        if (!core::InRange(certificates.rva, certificates.size, file.size()))
            return std::nullopt;
        add(image.DirectoryEntryOffset(kDirectoryCertificate));
    }
    const DataDirectory debug = image.Directory(kDirectoryDebug);
    if (debug.size != 0) {
        std::optional<std::uint64_t> table = image.FileOffsetOf(debug.rva, debug.size);
        if (!table)
            return std::nullopt;
        for (std::uint64_t at = *table; at + kDebugEntrySize <= *table + debug.size;
             at += kDebugEntrySize) {
            const std::uint32_t size = reader.U32At(at + 16);
            const std::uint32_t pointer = reader.U32At(at + 24);
            if (pointer != 0 && !core::InRange(pointer, size, file.size()))
                return std::nullopt;
            add(at + 24);
        }
    }
    if (!reader.Ok())
        return std::nullopt;
    return fields;
}

// What the headers must say after the splice.
struct HeaderPlan {
    std::size_t section = 0; // the section that holds the tree
    bool appended = false;   // a new section header goes into slot `section`
    Section tree;            // its new header values
    std::uint32_t treeSize = 0;
    std::int64_t initializedDataChange = 0;
    std::uint32_t sizeOfImage = 0;
};

// The free section-header slot after the table: inside the headers, before any raw data,
// zero, and clear of anything a data directory points at.
std::optional<std::uint64_t> FreeHeaderSlot(std::span<const std::uint8_t> file,
                                            Image const &image) {
    const std::uint64_t slot =
        image.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * image.sections.size();
    std::uint64_t limit = image.sizeOfHeaders;
    for (Section const &section : image.sections)
        if (section.rawSize != 0)
            limit = std::min<std::uint64_t>(limit, section.rawOffset);
    if (image.sections.size() >= kMaxSections || slot + kSectionHeaderSize > limit ||
        !core::InRange(slot, kSectionHeaderSize, file.size()))
        return std::nullopt;
    for (std::uint64_t i = 0; i < kSectionHeaderSize; ++i)
        if (file[static_cast<std::size_t>(slot + i)] != 0)
            return std::nullopt;
    for (DataDirectory const &d : image.directories)
        if (d.size != 0 && d.rva < image.sizeOfHeaders &&
            Overlap(d.rva, d.size, slot, kSectionHeaderSize))
            return std::nullopt;
    return slot;
}

// The tree rewritten where the resource section is, when it fits below the next section.
std::optional<HeaderPlan> PlanInPlace(Image const &image, std::size_t index, std::uint64_t treeSize,
                                      Splice &splice) {
    Section const &owner = image.sections[index];
    const std::int64_t fa = image.fileAlignment;
    std::int64_t delta = static_cast<std::int64_t>(core::AlignUp(treeSize, fa)) - owner.rawSize;
    // Later raw data moves by whole FileAlignment units (rounded towards growing).
    delta = delta >= 0 ? (delta + fa - 1) / fa * fa : -((-delta) / fa * fa);
    const std::uint64_t rawSize = static_cast<std::uint64_t>(owner.rawSize + delta);
    const std::uint64_t extent = std::max(treeSize, rawSize);
    bool const last = index + 1 == image.sections.size();
    if (!last && owner.virtualAddress + core::AlignUp(extent, image.sectionAlignment) >
                     image.sections[index + 1].virtualAddress)
        return std::nullopt;
    splice.cut = owner.rawOffset;
    splice.cutEnd = owner.RawEnd();
    splice.block.assign(static_cast<std::size_t>(rawSize), 0);
    HeaderPlan plan;
    plan.section = index;
    plan.tree = owner;
    plan.tree.virtualSize = static_cast<std::uint32_t>(treeSize);
    plan.tree.rawSize = static_cast<std::uint32_t>(rawSize);
    plan.treeSize = static_cast<std::uint32_t>(treeSize);
    if ((owner.characteristics & kSectionInitializedData) != 0)
        plan.initializedDataChange = delta;
    const std::uint64_t end = core::AlignUp(owner.virtualAddress + extent, image.sectionAlignment);
    if (last && end > kMaxU32)
        return std::nullopt;
    plan.sizeOfImage = last ? static_cast<std::uint32_t>(end) : image.sizeOfImage;
    return plan;
}

// The tree in a new section after the last one; later bytes move behind it.
std::optional<HeaderPlan> PlanAppended(Image const &image, std::uint64_t treeSize, Splice &splice) {
    const std::uint64_t fa = image.fileAlignment;
    const std::uint64_t sa = image.sectionAlignment;
    const std::uint64_t va = core::AlignUp(
        std::max<std::uint64_t>(image.sizeOfImage, image.sections.back().MemoryEnd()), sa);
    const std::uint64_t dataEnd = SectionDataEnd(image);
    const std::uint64_t rawOffset = core::AlignUp(dataEnd, fa);
    const std::uint64_t rawSize = core::AlignUp(treeSize, fa);
    if (core::AlignUp(va + treeSize, sa) > kMaxU32)
        return std::nullopt;
    splice.cut = dataEnd;
    splice.cutEnd = dataEnd;
    splice.block.assign(static_cast<std::size_t>(core::AlignUp(rawOffset - dataEnd + rawSize, fa)),
                        0);
    HeaderPlan plan;
    plan.section = image.sections.size();
    plan.appended = true;
    plan.tree.headerOffset =
        image.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * image.sections.size();
    plan.tree.virtualAddress = static_cast<std::uint32_t>(va);
    plan.tree.virtualSize = static_cast<std::uint32_t>(treeSize);
    plan.tree.rawOffset = static_cast<std::uint32_t>(rawOffset);
    plan.tree.rawSize = static_cast<std::uint32_t>(rawSize);
    plan.tree.characteristics = kNewSectionFlags;
    plan.treeSize = static_cast<std::uint32_t>(treeSize);
    plan.initializedDataChange = static_cast<std::int64_t>(rawSize);
    plan.sizeOfImage = static_cast<std::uint32_t>(core::AlignUp(va + treeSize, sa));
    return plan;
}

void WriteSectionHeader(core::ByteWriter &out, Section const &section, bool withName) {
    if (withName) {
        static constexpr std::uint8_t kName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        out.BytesAt(section.headerOffset, kName);
        out.U32At(section.headerOffset + 36, section.characteristics);
    }
    out.U32At(section.headerOffset + 8, section.virtualSize);
    out.U32At(section.headerOffset + 12, section.virtualAddress);
    out.U32At(section.headerOffset + 16, section.rawSize);
    out.U32At(section.headerOffset + 20, section.rawOffset);
}

// The header fields that change with the tree (all of them lie before the splice).
void WriteHeaders(core::ByteWriter &out, Image const &image, HeaderPlan const &plan) {
    WriteSectionHeader(out, plan.tree, plan.appended);
    if (plan.appended)
        out.U16At(image.NumberOfSectionsOffset(),
                  static_cast<std::uint16_t>(image.sections.size() + 1));
    const std::uint64_t resources = image.DirectoryEntryOffset(kDirectoryResource);
    out.U32At(resources, plan.tree.virtualAddress);
    out.U32At(resources + 4, plan.treeSize);
    std::int64_t initialized = image.sizeOfInitializedData + plan.initializedDataChange;
    initialized = std::clamp<std::int64_t>(initialized, 0, 0xFFFFFFFF);
    out.U32At(image.SizeOfInitializedDataOffset(), static_cast<std::uint32_t>(initialized));
    out.U32At(image.SizeOfImageOffset(), plan.sizeOfImage);
}

// The spliced file with every offset field moved; false when a field cannot follow.
bool ApplySplice(std::span<const std::uint8_t> file, Splice const &splice,
                 std::vector<OffsetField> const &fields, std::vector<std::uint8_t> &out) {
    const std::uint64_t size = file.size() + splice.Delta();
    if (size > kMaxU32)
        return false;
    out.clear();
    out.reserve(static_cast<std::size_t>(size));
    out.insert(out.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(splice.cut));
    out.insert(out.end(), splice.block.begin(), splice.block.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(splice.cutEnd), file.end());
    core::ByteWriter writer(out);
    for (OffsetField const &field : fields) {
        std::optional<std::uint64_t> at = splice.Move(field.at);
        std::optional<std::uint64_t> value = splice.Move(field.value);
        if (!at || !value)
            return false;
        writer.U32At(*at, static_cast<std::uint32_t>(*value));
    }
    return writer.Ok();
}

// The rebuilt file parses, reads back as the same tree and carries its checksum.
bool ReadsBack(std::span<const std::uint8_t> rebuilt, ResourceTree const &tree) {
    std::optional<Image> image = ParseImage(rebuilt);
    if (!image)
        return false;
    ResourceTree again = ResourceTree::Read(*image, rebuilt);
    return !again.Damaged() && SameLeaves(tree, again);
}

} // namespace

RebuildStatus RebuildWithResources(std::span<const std::uint8_t> file, Image const &image,
                                   ResourceTree const &tree, std::vector<std::uint8_t> &out) {
    if (tree.Damaged())
        return RebuildStatus::Damaged;
    std::optional<std::uint64_t> treeSize = tree.SerializedSize();
    if (!treeSize)
        return RebuildStatus::TooLarge;
    Splice splice;
    std::optional<std::size_t> owner = OwnedResourceSection(image);
    std::optional<HeaderPlan> plan;
    if (owner)
        plan = PlanInPlace(image, *owner, *treeSize, splice);
    if (!plan) {
        owner.reset();
        splice = Splice();
        if (!FreeHeaderSlot(file, image))
            return RebuildStatus::NoHeaderSlot;
        plan = PlanAppended(image, *treeSize, splice);
        if (!plan)
            return RebuildStatus::TooLarge;
    }
    std::optional<std::vector<std::uint8_t>> bytes = tree.Serialize(plan->tree.virtualAddress);
    if (!bytes)
        return RebuildStatus::TooLarge;
    std::copy(bytes->begin(), bytes->end(),
              splice.block.begin() +
                  static_cast<std::ptrdiff_t>(plan->tree.rawOffset - splice.cut));
    std::optional<std::vector<OffsetField>> fields = OffsetFields(file, image, owner);
    if (!fields)
        return RebuildStatus::Unrelocatable;
    std::vector<std::uint8_t> rebuilt;
    if (!ApplySplice(file, splice, *fields, rebuilt))
        return RebuildStatus::Unrelocatable;
    core::ByteWriter writer(rebuilt);
    WriteHeaders(writer, image, *plan);
    writer.U32At(image.CheckSumOffset(), ComputeCheckSum(rebuilt, image.CheckSumOffset()));
    if (!writer.Ok() || !ReadsBack(rebuilt, tree))
        return RebuildStatus::Inconsistent;
    out = std::move(rebuilt);
    return RebuildStatus::Ok;
}

} // namespace ril::pe
