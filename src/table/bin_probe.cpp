// The structural check of a BIN through the bounds-checked reader, the flavour its records
// appear to hold, and the texts that do not decode in a code page.
#include "table/bin_probe.h"

#include "core/byte_cursor.h"
#include "core/codepage_characters.h"
#include "table/bin_format.h"

#include <algorithm>
#include <cstring>

namespace ril::table {
namespace {

// The record of one entry: where it starts in the file and how long it is, and its text
// (from its start to the record's end) as a multibyte text.
struct EntryRecord {
    std::size_t offset;
    std::uint32_t size;
    std::size_t textOffset;
    std::size_t textSize;
};

class Inspector {
  public:
    Inspector(std::span<std::uint8_t const> bytes, BinInspection &out)
        : bytes_(bytes), reader_(bytes), out_(out) {}

    // False with the refusal set when the bytes are no BIN.
    bool Check() {
        std::size_t const size = bytes_.size();
        if (size == 0)
            return Refuse(core::catalogue::kBinEmpty);
        if (size < kBinHeaderSize)
            return Refuse(core::catalogue::kBinShortHeader, size);
        BinHeader header;
        ReadBinHeader(reader_, header);
        out_.flag = header.flag;
        out_.maxId = header.maxId;
        out_.count = header.count;
        if (header.flag > kHolderFlagPresent)
            return Refuse(core::catalogue::kBinHolderFlag, header.flag);
        // Every entry takes at least 8 bytes of the file, so the walk is bounded by its size.
        for (std::uint32_t index = 0; index < header.count; ++index)
            if (!CheckEntry(index, header))
                return false;
        std::size_t limit = size;
        if (header.flag == kHolderFlagPresent && !CheckMarker(limit))
            return false;
        for (std::size_t index = 0; index < records_.size(); ++index)
            if (records_[index].size > limit ||
                records_[index].offset > limit - records_[index].size)
                return Refuse(core::catalogue::kBinEntryIntoMarker, index + 1, header.count);
        return true;
    }

    std::vector<EntryRecord> const &Records() const { return records_; }

  private:
    template <typename... Numbers>
    bool Refuse(core::msg::Message const &message, Numbers... numbers) {
        out_.refusal = &message;
        out_.argCount = 0;
        ((out_.args[out_.argCount++] = core::MakeNoticeArg(static_cast<long long>(numbers))), ...);
        return false;
    }

    bool CheckEntry(std::uint32_t index, BinHeader const &header) {
        std::uint32_t id = kNoEntryId;
        std::uint32_t size = 0;
        if (!reader_.ReadU32(id) || !reader_.ReadU32(size) || size > reader_.Remaining())
            return Refuse(core::catalogue::kBinEntryPastEnd, index + 1, header.count);
        if (id >= header.IdBound())
            return Refuse(core::catalogue::kBinIdBeyond, index + 1, header.count, id,
                          header.IdBound());
        std::size_t const offset = reader_.Offset();
        RecordParts parts;
        if (!SplitRecord(bytes_.subspan(offset, size), false, parts))
            return Refuse(core::catalogue::kBinRecordWithoutMacro, index + 1, header.count, id,
                          size);
        reader_.Skip(size);
        auto const textOffset = static_cast<std::size_t>(parts.text - bytes_.data());
        records_.push_back(EntryRecord{offset, size, textOffset, parts.textSize});
        out_.ids.push_back(id);
        return true;
    }

    // The holder marker at the end of the file: `limit` becomes its start.
    bool CheckMarker(std::size_t &limit) {
        std::size_t const size = bytes_.size();
        if (size < kBinHeaderSize + kHolderMarkerExtra)
            return Refuse(core::catalogue::kBinNoMarkerRoom);
        if (bytes_[size - 1] != 0)
            return Refuse(core::catalogue::kBinMarkerOpen);
        std::size_t const length = core::LoadU16(bytes_.data() + size - kHolderMarkerExtra);
        if (length > size - kBinHeaderSize - kHolderMarkerExtra)
            return Refuse(core::catalogue::kBinMarkerTooLong, length);
        limit = size - kHolderMarkerExtra - length;
        return true;
    }

    std::span<std::uint8_t const> bytes_;
    core::ByteReader reader_;
    BinInspection &out_;
    std::vector<EntryRecord> records_;
};

// The index of the first zero byte, or the size when there is none.
std::size_t ZeroOrEnd(std::span<std::uint8_t const> bytes) {
    void const *zero = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    return zero != nullptr
               ? static_cast<std::size_t>(static_cast<std::uint8_t const *>(zero) - bytes.data())
               : bytes.size();
}

bool FitsWide(std::span<std::uint8_t const> text) {
    if (text.size() < 2 || text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2)
        if (text[i] == 0 && text[i + 1] == 0)
            return i + 2 == text.size();
    return false;
}

BinFlavour Majority(std::size_t multibyte, std::size_t wide, std::size_t records) {
    if (multibyte * 2 > records)
        return BinFlavour::Multibyte;
    if (wide * 2 > records)
        return BinFlavour::Wide;
    return BinFlavour::Unknown;
}

} // namespace

void InspectBinImage(std::span<std::uint8_t const> bytes, unsigned codePage, BinInspection &out) {
    out = BinInspection{};
    Inspector inspector(bytes, out);
    if (!inspector.Check()) {
        out.ids.clear();
        return;
    }
    std::size_t multibyte = 0;
    std::size_t wide = 0;
    // A text decodes when each of its characters converts to UTF-16 and back to the same bytes
    // (a sequence that is no character reads as U+FFFD and comes back as '?').
    core::CodePageCharacters characters(codePage);
    for (EntryRecord const &entry : inspector.Records()) {
        std::span<std::uint8_t const> const text =
            bytes.subspan(entry.textOffset, entry.offset + entry.size - entry.textOffset);
        // A multibyte text fits when its first zero byte is the record's last; then no zero
        // unit can end it before, and the unit that ends it is no zero unit.
        bool const fitsMultibyte = entry.textSize + 1 == text.size();
        multibyte += fitsMultibyte ? 1 : 0;
        wide += !fitsMultibyte && FitsWide(text) ? 1 : 0;
        if (characters.FirstBad(text.data(), entry.textSize) != core::CodePageCharacters::kAll)
            ++out.undecodable;
    }
    out.flavour = Majority(multibyte, wide, inspector.Records().size());
    std::sort(out.ids.begin(), out.ids.end());
    out.ids.erase(std::unique(out.ids.begin(), out.ids.end()), out.ids.end());
}

bool SplitRecord(std::span<std::uint8_t const> record, bool wide, RecordParts &parts) {
    if (record.size() < 2)
        return false;
    std::size_t const m = core::LoadU16(record.data());
    if (m > record.size() - 2)
        return false;
    std::span<std::uint8_t const> const macro = record.subspan(2, m);
    std::span<std::uint8_t const> const text = record.subspan(2 + m);
    parts.macro = macro.data();
    parts.macroLength = ZeroOrEnd(macro);
    parts.macroTerminated = m > 0 && macro.back() == 0;
    parts.text = text.data();
    if (!wide) {
        parts.textSize = ZeroOrEnd(text);
        return true;
    }
    std::size_t units = 0;
    while (2 * units + 1 < text.size() && (text[2 * units] != 0 || text[2 * units + 1] != 0))
        ++units;
    parts.textSize = 2 * units;
    return true;
}

} // namespace ril::table
