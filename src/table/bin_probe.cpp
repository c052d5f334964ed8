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

bool FitsWide(std::span<std::uint8_t const> text) {
    if (text.size() < 2 || text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2)
        if (text[i] == 0 && text[i + 1] == 0)
            return i + 2 == text.size();
    return false;
}

class Inspector {
  public:
    Inspector(std::span<std::uint8_t const> bytes, unsigned codePage, BinInspection &out)
        : bytes_(bytes), reader_(bytes), out_(out), characters_(codePage) {}

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
        out_.ids.reserve(std::min<std::size_t>(header.count, (size - kBinHeaderSize) / 8));
        markerStart_ = MarkerStart(header);
        for (std::uint32_t index = 0; index < header.count; ++index)
            if (!CheckEntry(index, header))
                return false;
        if (header.flag == kHolderFlagPresent && !CheckMarker())
            return false;
        if (intoMarker_ < header.count)
            return Refuse(core::catalogue::kBinEntryIntoMarker, intoMarker_ + 1, header.count);
        return true;
    }

    std::size_t Records() const { return out_.ids.size(); }
    std::size_t MultibyteFits() const { return multibyte_; }
    std::size_t WideFits() const { return wide_; }

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
        out_.ids.push_back(id);
        if (intoMarker_ == kNone && size > markerStart_ - std::min(offset, markerStart_))
            intoMarker_ = index;
        CheckText(parts, bytes_.data() + offset + size);
        return true;
    }

    // The flavour the record fits and whether its text (up to the record's `end`, as a
    // multibyte text) decodes, while the record is in the cache.
    void CheckText(RecordParts const &parts, std::uint8_t const *end) {
        std::span<std::uint8_t const> const text(parts.text, end);
        std::size_t const textSize = parts.textSize;
        // A multibyte text fits when its first zero byte is the record's last; then no zero
        // unit can end it before, and the unit that ends it is no zero unit.
        bool const fitsMultibyte = textSize + 1 == text.size();
        multibyte_ += fitsMultibyte ? 1 : 0;
        wide_ += !fitsMultibyte && FitsWide(text) ? 1 : 0;
        // A text decodes when each of its characters converts to UTF-16 and back to the same
        // bytes (a sequence that is no character reads as U+FFFD and comes back as '?').
        if (characters_.FirstBad(text.data(), textSize) != core::CodePageCharacters::kAll)
            ++out_.undecodable;
    }

    // Where the holder marker starts when the file has one that CheckMarker passes, else the
    // file's end.
    std::size_t MarkerStart(BinHeader const &header) const {
        std::size_t const size = bytes_.size();
        if (header.flag != kHolderFlagPresent || size < kBinHeaderSize + kHolderMarkerExtra ||
            bytes_[size - 1] != 0)
            return size;
        std::size_t const length = core::LoadU16(bytes_.data() + size - kHolderMarkerExtra);
        return length > size - kBinHeaderSize - kHolderMarkerExtra
                   ? size
                   : size - kHolderMarkerExtra - length;
    }

    // The holder marker at the end of the file.
    bool CheckMarker() {
        std::size_t const size = bytes_.size();
        if (size < kBinHeaderSize + kHolderMarkerExtra)
            return Refuse(core::catalogue::kBinNoMarkerRoom);
        if (bytes_[size - 1] != 0)
            return Refuse(core::catalogue::kBinMarkerOpen);
        std::size_t const length = core::LoadU16(bytes_.data() + size - kHolderMarkerExtra);
        if (length > size - kBinHeaderSize - kHolderMarkerExtra)
            return Refuse(core::catalogue::kBinMarkerTooLong, length);
        return true;
    }

    std::span<std::uint8_t const> bytes_;
    core::ByteReader reader_;
    BinInspection &out_;
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::size_t markerStart_ = 0;
    std::uint32_t intoMarker_ = kNone; // the first entry whose record runs into the marker
    core::CodePageCharacters characters_;
    std::size_t multibyte_ = 0;
    std::size_t wide_ = 0;
};

// The index of the first zero byte, or the size when there is none.
std::size_t ZeroOrEnd(std::span<std::uint8_t const> bytes) {
    void const *zero = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    return zero != nullptr
               ? static_cast<std::size_t>(static_cast<std::uint8_t const *>(zero) - bytes.data())
               : bytes.size();
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
    Inspector inspector(bytes, codePage, out);
    if (!inspector.Check()) {
        out.ids.clear();
        out.undecodable = 0;
        return;
    }
    out.flavour = Majority(inspector.MultibyteFits(), inspector.WideFits(), inspector.Records());
    if (!std::is_sorted(out.ids.begin(), out.ids.end())) // a BIN's entries mostly ascend
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
