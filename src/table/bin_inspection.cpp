// The structural check of a BIN through the bounds-checked reader, the flavour its records
// appear to hold, and the texts that do not decode in a code page.
#include "table/bin_inspection.h"

#include "core/byte_cursor.h"
#include "platform/codepage.h"
#include "table/bin_format.h"

#include <algorithm>
#include <string>

namespace ril {
namespace {

// The record of one entry: where it starts in the file and how long it is.
struct EntryRecord {
    std::size_t offset;
    std::uint32_t size;
};

class Inspector {
  public:
    Inspector(std::span<std::uint8_t const> bytes, BinInspection &out)
        : bytes_(bytes), reader_(bytes), out_(out) {}

    // False with the refusal set when the bytes are no BIN.
    bool Check() {
        std::size_t const size = bytes_.size();
        if (size == 0)
            return Refuse(catalogue::kBinEmpty);
        if (size < kBinHeaderSize)
            return Refuse(catalogue::kBinShortHeader, size);
        BinHeader header;
        ReadBinHeader(reader_, header);
        out_.flag = header.flag;
        out_.maxId = header.maxId;
        out_.count = header.count;
        if (header.flag > kHolderFlagPresent)
            return Refuse(catalogue::kBinHolderFlag, header.flag);
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
                return Refuse(catalogue::kBinEntryIntoMarker, index + 1, header.count);
        return true;
    }

    std::vector<EntryRecord> const &Records() const { return records_; }

  private:
    template <typename... Numbers> bool Refuse(msg::Message const &message, Numbers... numbers) {
        out_.refusal = &message;
        out_.argCount = 0;
        ((out_.args[out_.argCount++] = MakeNoticeArg(static_cast<long long>(numbers))), ...);
        return false;
    }

    bool CheckEntry(std::uint32_t index, BinHeader const &header) {
        std::uint32_t id = kNoEntryId;
        std::uint32_t size = 0;
        if (!reader_.ReadU32(id) || !reader_.ReadU32(size) || size > reader_.Remaining())
            return Refuse(catalogue::kBinEntryPastEnd, index + 1, header.count);
        if (id >= header.IdBound())
            return Refuse(catalogue::kBinIdBeyond, index + 1, header.count, id, header.IdBound());
        std::size_t const offset = reader_.Offset();
        RecordParts parts;
        if (!SplitRecord(bytes_.subspan(offset, size), false, parts))
            return Refuse(catalogue::kBinRecordWithoutMacro, index + 1, header.count, id, size);
        reader_.Skip(size);
        records_.push_back(EntryRecord{offset, size});
        out_.ids.push_back(id);
        return true;
    }

    // The holder marker at the end of the file: `limit` becomes its start.
    bool CheckMarker(std::size_t &limit) {
        std::size_t const size = bytes_.size();
        if (size < kBinHeaderSize + kHolderMarkerExtra)
            return Refuse(catalogue::kBinNoMarkerRoom);
        if (bytes_[size - 1] != 0)
            return Refuse(catalogue::kBinMarkerOpen);
        std::size_t const length = LoadU16(bytes_.data() + size - kHolderMarkerExtra);
        if (length > size - kBinHeaderSize - kHolderMarkerExtra)
            return Refuse(catalogue::kBinMarkerTooLong, length);
        limit = size - kHolderMarkerExtra - length;
        return true;
    }

    std::span<std::uint8_t const> bytes_;
    ByteReader reader_;
    BinInspection &out_;
    std::vector<EntryRecord> records_;
};

bool FitsMultibyte(std::span<std::uint8_t const> text) {
    auto const zero = std::find(text.begin(), text.end(), 0);
    return zero != text.end() && zero + 1 == text.end();
}

bool FitsWide(std::span<std::uint8_t const> text) {
    if (text.size() < 2 || text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2)
        if (text[i] == 0 && text[i + 1] == 0)
            return i + 2 == text.size();
    return false;
}

// Whether the multibyte text converts to UTF-16 and back to the same bytes: a byte sequence
// that is no character of the code page reads as U+FFFD and comes back as '?'. ASCII alone
// decodes in every code page the library converts.
bool Decodes(std::span<std::uint8_t const> text, unsigned codePage) {
    if (std::all_of(text.begin(), text.end(), [](std::uint8_t byte) { return byte < 0x80; }))
        return true;
    std::string const bytes(text.begin(), text.end());
    int const length = static_cast<int>(bytes.size());
    platform::Conversion units =
        platform::MultiByteToWide(codePage, bytes.data(), length, nullptr, 0);
    if (units.count == 0)
        return false;
    std::vector<std::uint16_t> wide(static_cast<std::size_t>(units.count));
    if (platform::MultiByteToWide(codePage, bytes.data(), length, wide.data(), units.count).count !=
        units.count)
        return false;
    std::string back(bytes.size() + 1, '\0');
    platform::Conversion done = platform::WideToMultiByte(
        codePage, wide.data(), units.count, back.data(), static_cast<int>(back.size()));
    return done.count == length && back.compare(0, bytes.size(), bytes) == 0;
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
    for (EntryRecord const &entry : inspector.Records()) {
        RecordParts parts;
        SplitRecord(bytes.subspan(entry.offset, entry.size), false, parts);
        std::span<std::uint8_t const> const text(
            parts.text, entry.size - (parts.text - bytes.data() - entry.offset));
        multibyte += FitsMultibyte(text) ? 1 : 0;
        wide += FitsWide(text) ? 1 : 0;
        if (!Decodes(text.first(parts.textSize), codePage))
            ++out.undecodable;
    }
    out.flavour = Majority(multibyte, wide, inspector.Records().size());
    std::sort(out.ids.begin(), out.ids.end());
    out.ids.erase(std::unique(out.ids.begin(), out.ids.end()), out.ids.end());
}

bool SplitRecord(std::span<std::uint8_t const> record, bool wide, RecordParts &parts) {
    if (record.size() < 2)
        return false;
    std::size_t const m = LoadU16(record.data());
    if (m > record.size() - 2)
        return false;
    std::span<std::uint8_t const> const macro = record.subspan(2, m);
    std::span<std::uint8_t const> const text = record.subspan(2 + m);
    parts.macro = macro.data();
    parts.macroLength =
        static_cast<std::size_t>(std::find(macro.begin(), macro.end(), 0) - macro.begin());
    parts.macroTerminated = m > 0 && macro.back() == 0;
    parts.text = text.data();
    if (!wide) {
        parts.textSize =
            static_cast<std::size_t>(std::find(text.begin(), text.end(), 0) - text.begin());
        return true;
    }
    std::size_t units = 0;
    while (2 * units + 1 < text.size() && (text[2 * units] != 0 || text[2 * units + 1] != 0))
        ++units;
    parts.textSize = 2 * units;
    return true;
}

} // namespace ril
