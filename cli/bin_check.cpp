// Checks a BIN's layout through a bounds-checked little-endian reader and infers the text
// flavour of its records.
#include "bin_check.h"

#include "arguments.h"
#include "diagnostics.h"
#include "input_files.h"

#include <algorithm>
#include <cstring>

namespace rilcli {
namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntryHeaderSize = 8;
constexpr std::size_t kTrailerSize = 3; // the 16-bit length and the closing zero byte

// Little-endian reads that fail instead of reading past the end.
class LittleEndianReader {
  public:
    explicit LittleEndianReader(std::span<std::uint8_t const> bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> U32(std::size_t offset) const { return Read<4>(offset); }
    std::optional<std::uint32_t> U16(std::size_t offset) const { return Read<2>(offset); }

  private:
    template <std::size_t N> std::optional<std::uint32_t> Read(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < N)
            return std::nullopt;
        std::uint8_t raw[N];
        std::memcpy(raw, bytes_.data() + offset, N);
        std::uint32_t value = 0;
        for (std::size_t i = N; i-- > 0;)
            value = value << 8 | raw[i];
        return value;
    }

    std::span<std::uint8_t const> bytes_;
};

class NotABin {
  public:
    explicit NotABin(std::string path) : path_(std::move(path)) {}
    [[noreturn]] void Fail(std::string const &reason) const {
        throw Failure(path_ + ": not a BIN: " + reason);
    }

  private:
    std::string path_;
};

// Where the entries must end: the start of the holder marker, or the end of the file.
std::size_t EntriesLimit(std::span<std::uint8_t const> bytes, std::uint32_t flag,
                         NotABin const &refuse) {
    std::size_t const size = bytes.size();
    if (flag == 0)
        return size;
    if (size < kHeaderSize + kTrailerSize)
        refuse.Fail("no room for the holder marker that its holder flag announces");
    if (bytes[size - 1] != 0)
        refuse.Fail("the holder marker does not end with a zero byte");
    std::size_t const length = *LittleEndianReader(bytes).U16(size - kTrailerSize);
    if (length > size - kHeaderSize - kTrailerSize)
        refuse.Fail("the holder marker of " + std::to_string(length) +
                    " bytes does not fit the file");
    return size - kTrailerSize - length;
}

std::string EntryName(std::uint32_t index, std::uint32_t count) {
    return "entry " + std::to_string(index + 1) + " of " + std::to_string(count);
}

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

std::span<std::uint8_t const> TextOf(std::span<std::uint8_t const> record) {
    std::size_t const macroLength = record[0] | record[1] << 8;
    return record.subspan(2 + macroLength);
}

char const *FlavourName(Flavour flavour) {
    return flavour == Flavour::kWide ? "wide texts (UTF-16)" : "multibyte texts";
}

} // namespace

std::optional<BinFile> CheckBin(std::string const &path) {
    NotABin const refuse(path);
    BinFile bin{ReadWholeFileOrFail(path), {}};
    std::size_t const size = bin.bytes.size();
    LittleEndianReader const reader(bin.bytes);
    if (size == 0)
        refuse.Fail("the file is empty");
    if (size < kHeaderSize)
        refuse.Fail(std::to_string(size) + " bytes, shorter than the 12-byte header");
    std::uint32_t const flag = *reader.U32(0);
    if (flag > 1)
        refuse.Fail("holder flag " + std::to_string(flag) + " (0 or 1 expected)");

    // The entries first, so that a file cut short says so whatever its last bytes hold.
    std::uint32_t const count = *reader.U32(8);
    std::vector<std::size_t> ends;
    std::size_t offset = kHeaderSize;
    for (std::uint32_t index = 0; index < count; ++index) {
        std::optional<std::uint32_t> const id = reader.U32(offset);
        std::optional<std::uint32_t> const recordSize = reader.U32(offset + 4);
        if (!id || !recordSize || *recordSize > size - offset - kEntryHeaderSize)
            refuse.Fail(EntryName(index, count) + " runs past the end of the file");
        std::span<std::uint8_t const> const record(bin.bytes.data() + offset + kEntryHeaderSize,
                                                   *recordSize);
        std::optional<std::uint32_t> const macroLength = LittleEndianReader(record).U16(0);
        if (!macroLength || 2 + *macroLength > record.size())
            refuse.Fail(EntryName(index, count) + " (ID " + std::to_string(*id) +
                        "): its record of " + std::to_string(record.size()) +
                        " bytes cannot hold its macro");
        bin.records.push_back(record);
        offset += kEntryHeaderSize + *recordSize;
        ends.push_back(offset);
    }

    std::size_t const limit = EntriesLimit(bin.bytes, flag, refuse);
    auto const beyond = std::find_if(ends.begin(), ends.end(),
                                     [&](std::size_t entryEnd) { return entryEnd > limit; });
    if (beyond != ends.end())
        refuse.Fail(EntryName(static_cast<std::uint32_t>(beyond - ends.begin()), count) +
                    " runs into the holder marker");
    return bin;
}

Flavour InferFlavour(std::span<std::span<std::uint8_t const> const> records) {
    std::size_t multibyte = 0;
    std::size_t wide = 0;
    for (std::span<std::uint8_t const> const record : records) {
        std::span<std::uint8_t const> const text = TextOf(record);
        multibyte += FitsMultibyte(text) ? 1 : 0;
        wide += FitsWide(text) ? 1 : 0;
    }
    if (multibyte * 2 > records.size())
        return Flavour::kMultibyte;
    if (wide * 2 > records.size())
        return Flavour::kWide;
    return Flavour::kUnknown;
}

bool CheckedWide(Invocation const &invocation, std::string const &path) {
    std::optional<BinFile> const bin = CheckBin(path);
    Flavour const inferred = bin ? InferFlavour(bin->records) : Flavour::kUnknown;
    bool const narrow = invocation.Value("--narrow") != nullptr;
    if (!invocation.wide && !narrow)
        return inferred == Flavour::kWide;
    Flavour const given = invocation.wide ? Flavour::kWide : Flavour::kMultibyte;
    if (inferred != Flavour::kUnknown && inferred != given &&
        invocation.Value("--force") == nullptr)
        throw Failure(path + ": the BIN appears to hold " + FlavourName(inferred) + ": drop " +
                      (invocation.wide ? "--wide" : "--narrow") + ", or give --force");
    return invocation.wide;
}

} // namespace rilcli
