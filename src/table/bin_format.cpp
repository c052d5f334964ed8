// Reading and writing the pieces of a BIN: header, entries and holder marker.
#include "table/bin_format.h"

#include "core/safe_text.h"
#include "core/write_settings.h"

namespace ril::table {

void ReadBinHeader(core::ByteReader &reader, BinHeader &header) {
    reader.ReadU32(header.flag);
    reader.ReadU32(header.maxId);
    reader.ReadU32(header.count);
}

std::span<const std::uint8_t> HolderMarkerText(std::span<const std::uint8_t> fileEnd) {
    const std::size_t size = fileEnd.size();
    if (size < kHolderMarkerExtra)
        return {};
    const std::size_t length = core::LoadU16(fileEnd.data() + size - kHolderMarkerExtra);
    if (size - kHolderMarkerExtra < length)
        return {};
    return fileEnd.subspan(size - kHolderMarkerExtra - length, length);
}

bool FillHolderMarker(std::span<std::uint8_t> out, std::string_view text) {
    if (text.size() > kMaxHolderText || out.size() != HolderMarkerSize(text.size()))
        return false;
    core::ByteWriter writer(out);
    writer.Bytes(text.data(), text.size());
    writer.U16(static_cast<std::uint16_t>(text.size()));
    writer.U8(0);
    return writer.Complete();
}

std::string CurrentHolderText() {
    std::string const user = core::HolderName();
    platform::LocalTime const now = core::StampTime();
    char text[1024];
    core::SafeFormatA(text, sizeof text,
                      "Holder=%s    Editor=VeruDodUzarer    StartTime=%u-%u-%u %u:%u'%u\"",
                      user.c_str(), now.year, now.month, now.day, now.hour, now.minute, now.second);
    return std::string(text);
}

void WriteBinHead(platform::FileReplacer &out, std::uint32_t maxId, std::uint32_t count) {
    std::uint8_t head[kBinHeaderSize];
    core::ByteWriter writer(head, sizeof head);
    writer.U32(kHolderFlagPresent);
    writer.U32(maxId);
    writer.U32(count);
    out.Write(head, sizeof head);
}

void WriteBinEntry(platform::FileReplacer &out, BinEntry const &entry) {
    std::uint8_t head[kBinEntryHeaderSize];
    core::ByteWriter writer(head, sizeof head);
    writer.U32(entry.id);
    writer.U32(entry.size);
    out.Write(head, sizeof head);
    out.Write(entry.record, entry.size);
}

void WriteBinTail(platform::FileReplacer &out, std::string_view holderText) {
    holderText = holderText.substr(0, kMaxHolderText); // the writers' texts are far shorter
    std::vector<std::uint8_t> marker(HolderMarkerSize(holderText.size()));
    FillHolderMarker(marker, holderText);
    out.Write(marker.data(), marker.size());
}

void WriteBinImage(platform::FileReplacer &out, std::vector<BinEntry> const &entries,
                   std::string_view holderText) {
    std::uint32_t maxId = 0;
    for (BinEntry const &entry : entries)
        if (entry.id > maxId)
            maxId = entry.id;
    WriteBinHead(out, maxId, static_cast<std::uint32_t>(entries.size()));
    for (BinEntry const &entry : entries)
        WriteBinEntry(out, entry);
    WriteBinTail(out, holderText);
}

} // namespace ril::table
