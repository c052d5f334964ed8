// The structural check of a BIN through the bounds-checked reader, the flavour its records
// appear to hold, and the texts that do not decode in a code page.
#include "table/bin_probe.h"

#include "core/byte_cursor.h"
#include "platform/codepage.h"
#include "table/bin_format.h"

#include <algorithm>
#include <climits>
#include <string>

namespace ril::table {
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
        records_.push_back(EntryRecord{offset, size});
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

// Counts the multibyte texts that do not convert to UTF-16 and back to the same bytes: a byte
// sequence that is no character of the code page reads as U+FFFD and comes back as '?'. ASCII
// alone decodes in every code page the library converts. The other texts are converted
// together, each behind the zero byte of the one before; every zero byte becomes a zero unit
// and back, so the round trip splits at them into the texts again.
class DecodeCounter {
  public:
    explicit DecodeCounter(unsigned codePage) : codePage_(codePage) {}

    void Add(std::span<std::uint8_t const> text) {
        if (std::all_of(text.begin(), text.end(), [](std::uint8_t byte) { return byte < 0x80; }))
            return;
        joined_.append(text.begin(), text.end());
        joined_.push_back('\0');
        if (joined_.size() >= kBatch)
            Flush();
    }

    std::uint32_t Count() {
        Flush();
        return undecodable_;
    }

  private:
    static constexpr std::size_t kBatch = std::size_t{16} << 20;

    void Flush() {
        if (joined_.empty())
            return;
        std::string const back = RoundTrip();
        std::size_t at = 0;
        std::size_t backAt = 0;
        while (at < joined_.size()) {
            std::size_t const end = joined_.find('\0', at);
            std::size_t backEnd = back.find('\0', backAt);
            if (backEnd == std::string::npos)
                backEnd = back.size();
            if (back.compare(backAt, backEnd - backAt, joined_, at, end - at) != 0)
                ++undecodable_;
            at = end + 1;
            backAt = backEnd < back.size() ? backEnd + 1 : back.size();
        }
        joined_.clear();
    }

    // The joined texts converted to UTF-16 and back; empty when a conversion fails. No size
    // queries: a byte gives at most one unit, and a unit at most four bytes (UTF-8 takes
    // three for a unit, GB18030 four, a surrogate pair four for two).
    std::string RoundTrip() const {
        // A text too long for the conversions' int sizes counts as not decoding.
        if (joined_.size() > static_cast<std::size_t>(INT_MAX / 4))
            return {};
        int const length = static_cast<int>(joined_.size());
        std::vector<std::uint16_t> wide(joined_.size());
        int const units =
            platform::MultiByteToWide(codePage_, joined_.data(), length, wide.data(), length).count;
        std::string back(4 * static_cast<std::size_t>(units), '\0');
        int const bytes =
            units == 0 ? 0
                       : platform::WideToMultiByte(codePage_, wide.data(), units, back.data(),
                                                   static_cast<int>(back.size()))
                             .count;
        back.resize(static_cast<std::size_t>(bytes));
        return back;
    }

    unsigned const codePage_;
    std::string joined_;
    std::uint32_t undecodable_ = 0;
};

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
    DecodeCounter decoding(codePage);
    for (EntryRecord const &entry : inspector.Records()) {
        std::span<std::uint8_t const> const record = bytes.subspan(entry.offset, entry.size);
        RecordParts parts;
        SplitRecord(record, false, parts);
        std::span<std::uint8_t const> const text =
            record.subspan(static_cast<std::size_t>(parts.text - record.data()));
        multibyte += FitsMultibyte(text) ? 1 : 0;
        wide += FitsWide(text) ? 1 : 0;
        decoding.Add(text.first(parts.textSize));
    }
    out.undecodable = decoding.Count();
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

} // namespace ril::table
