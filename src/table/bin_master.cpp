// CBinMaster: loading a BIN into ID-indexed slots, reloading and unloading it.
#include "table/bin_master.h"

#include "platform/file.h"
#include "table/safe_text.h"

#include <cstring>

namespace ril {
namespace {

constexpr std::uint32_t kNoId = 0xFFFFFFFFu;

} // namespace

// Parses a BIN image held in memory into the table's fields. Reads follow a stream's rules
// at end of file: a field that cannot be read whole keeps its preset value, and a record
// cut short by the end of the file keeps zero bytes where its data is missing.
class CBinMaster::Loader {
  public:
    Loader(CBinMaster &table, const std::uint8_t *bytes, std::size_t size)
        : table_(table), bytes_(bytes), size_(size) {}

    bool Run() {
        LeReader reader(bytes_, size_);
        std::uint32_t flag = 1; // a file too short to hold the flag counts as flag 1
        reader.ReadU32(flag);
        if (flag > 1)
            return false;
        reader.ReadU32(table_.maxId_);
        reader.ReadU32(table_.count_);
        if (table_.count_ > 0 && !ReadEntries(reader))
            return false;
        return flag == 0 || ReadHolder();
    }

  private:
    struct Entry {
        std::uint32_t id = kNoId;
        std::uint32_t size = 0;
    };

    static Entry NextEntry(LeReader &reader) {
        Entry entry;
        reader.ReadU32(entry.id);
        reader.ReadU32(entry.size);
        return entry;
    }

    bool ReadEntries(LeReader &reader) {
        table_.capacity_ = table_.maxId_ + 10u; // wraps like the 32-bit field it sizes
        if (!table_.items_.Allocate(table_.capacity_) || !table_.sizes_.Allocate(table_.capacity_))
            return false;
        const std::size_t first = reader.Position();
        std::uint64_t blockSize = 0;
        if (!MeasureEntries(reader, blockSize))
            return false;
        if (blockSize == 0)
            return true;
        if (blockSize > SIZE_MAX || !table_.records_.Allocate(static_cast<std::size_t>(blockSize)))
            return false;
        LeReader again(bytes_, size_);
        again.Skip(first);
        StoreEntries(again);
        return true;
    }

    // First pass: checks every ID against the capacity and adds up the record block.
    bool MeasureEntries(LeReader &reader, std::uint64_t &blockSize) const {
        for (std::uint32_t i = 0; i < table_.count_; ++i) {
            Entry entry = NextEntry(reader);
            if (entry.id >= table_.capacity_)
                return false;
            if (entry.size > 0) {
                blockSize += std::uint64_t{entry.size} + kRecordPadding + 1;
                reader.Skip(entry.size);
            }
        }
        return true;
    }

    // Second pass: copies each record into the block; a later entry replaces an earlier one.
    // Each record is placed so that its text starts on an even address, which keeps the
    // wide getter's result a properly aligned UTF-16 pointer.
    void StoreEntries(LeReader &reader) {
        std::uint8_t *next = table_.records_.Get();
        for (std::uint32_t i = 0; i < table_.count_; ++i) {
            Entry entry = NextEntry(reader);
            if (entry.size == 0)
                continue;
            std::uint32_t macroLength = MacroLengthAhead(reader, entry.size);
            std::uint8_t *record = next + ((reinterpret_cast<std::uintptr_t>(next) + macroLength) & 1);
            reader.ReadBytes(record, entry.size);
            table_.items_[entry.id] = record;
            table_.sizes_[entry.id] = entry.size;
            next = record + std::size_t{entry.size} + kRecordPadding;
        }
    }

    // The clamped macro length of the record about to be read (missing bytes count as 0).
    static std::uint32_t MacroLengthAhead(const LeReader &reader, std::uint32_t size) {
        std::uint8_t head[2] = {0, 0};
        std::memcpy(head, reader.Here(), reader.Remaining() < 2 ? reader.Remaining() : 2);
        std::uint8_t padded[2 + kRecordPadding] = {head[0], head[1]};
        return RecordRef{padded, size}.MacroLength();
    }

    // The holder marker is located from the end of the file: text, 16-bit length, zero byte.
    bool ReadHolder() {
        std::uint16_t length = size_ >= 3 ? LoadU16(bytes_ + size_ - 3) : 0;
        if (!table_.holder_.Allocate(std::size_t{length} + 1))
            return false;
        if (size_ >= std::size_t{length} + 3 && length > 0)
            std::memcpy(table_.holder_.Get(), bytes_ + size_ - 3 - length, length);
        return true;
    }

    CBinMaster &table_;
    const std::uint8_t *bytes_;
    std::size_t size_;
};

CBinMaster::CBinMaster() = default;

CBinMaster::~CBinMaster() {
    if (loaded_ != 0)
        UnloadRes();
}

HResult CBinMaster::LoadRes(const char *path) {
    if (loaded_ != 0)
        UnloadRes();
    platform::FileContent file;
    if (platform::ReadWholeFile(path, file) != platform::ReadStatus::Ok)
        return kEFail;
    if (!Loader(*this, file.bytes.get(), file.size).Run()) {
        UnloadRes();
        return kEFail;
    }
    SafeCopyA(path_, kPathSize, path); // a longer path is cut to 519 characters
    loaded_ = 1;
    return kSOk;
}

HResult CBinMaster::ReLoadRes() {
    if (loaded_ != 0 || path_[0] == '\0')
        return kEFail;
    char path[kPathSize];
    std::memcpy(path, path_, kPathSize);
    return LoadRes(path);
}

void CBinMaster::UnloadRes() {
    items_.Reset();
    records_.Reset();
    sizes_.Reset();
    holder_.Reset();
    capacity_ = 0;
    count_ = 0;
    loaded_ = 0;
}

} // namespace ril
