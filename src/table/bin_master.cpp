// CBinMaster: loading a BIN into ID-indexed slots, handing out record texts, reloading and
// unloading. The file is read with one read; records point into that buffer, and only a
// record that is cut short, or whose text would not end or align inside it, gets a copy.
#include "table/bin_master.h"

#include "core/allocate.h"
#include "core/safe_text.h"
#include "items/record_text.h"
#include "platform/file.h"
#include "table/bin_format.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ril {
namespace {

// Where the text of a record of `size` bytes starts, given its first two bytes.
std::size_t TextOffset(const std::uint8_t *record, std::size_t available, std::uint32_t size) {
    std::uint8_t head[2 + kRecordPadding] = {};
    std::memcpy(head, record, available < 2 ? available : 2);
    RecordRef view{head, size};
    return static_cast<std::size_t>(view.Text() - head);
}

} // namespace

// Parses the file image into the table's fields. Reads follow a stream's rules at end of
// file: a field that cannot be read whole keeps its preset value, and a record cut short by
// the end of the file keeps zero bytes where its data is missing.
class CBinMaster::Loader {
  public:
    Loader(CBinMaster &table, const platform::FileContent &file) : table_(table), file_(file) {}

    bool Run() {
        ByteReader reader(file_.bytes.get(), file_.size);
        BinHeader header;
        ReadBinHeader(reader, header);
        if (header.flag > kHolderFlagPresent)
            return false;
        table_.maxId_ = header.maxId;
        table_.count_ = header.count;
        if (table_.count_ > 0 && !ReadEntries(reader, header.IdBound()))
            return false;
        return header.flag == kHolderFlagNone || ReadHolder();
    }

  private:
    bool ReadEntries(ByteReader &reader, std::uint32_t idBound) {
        table_.capacity_ = idBound;
        return DenseSlotsFit(table_.capacity_, file_.size) ? ReadDense(reader) : ReadSparse(reader);
    }

    // Reads the next entry: false when it fails the load, else `entry.size` is 0 for an entry
    // without a record. Every entry read takes at least 8 bytes of the file, and a read past
    // its end yields an ID beyond any capacity, so the walk is bounded by the file.
    bool ReadEntry(ByteReader &reader, BinEntryView &entry) {
        entry = BinEntryView{};
        return ReadBinEntry(reader, table_.capacity_, entry);
    }

    bool ReadDense(ByteReader &reader) {
        if (!table_.slots_.Allocate(table_.capacity_))
            return false;
        table_.denseSlots_ = table_.capacity_;
        for (std::uint32_t i = 0; i < table_.count_; ++i) {
            BinEntryView entry;
            if (!ReadEntry(reader, entry))
                return false;
            if (entry.size > 0 && !StoreRecord(table_.slots_[entry.id], entry))
                return false;
        }
        return true;
    }

    // IDs too sparse for a slot each: the records are collected, ordered by ID (the last
    // entry of an ID wins) and given one slot each in that order.
    bool ReadSparse(ByteReader &reader) {
        std::vector<BinEntryView> entries;
        bool read = TryAllocate([&] {
            for (std::uint32_t i = 0; i < table_.count_; ++i) {
                BinEntryView entry;
                if (!ReadEntry(reader, entry))
                    return false;
                if (entry.size > 0)
                    entries.push_back(entry);
            }
            return true;
        });
        if (!read)
            return false;
        std::stable_sort(entries.begin(), entries.end(),
                         [](const BinEntryView &a, const BinEntryView &b) { return a.id < b.id; });
        auto last =
            std::unique(entries.rbegin(), entries.rend(),
                        [](const BinEntryView &a, const BinEntryView &b) { return a.id == b.id; });
        entries.erase(entries.begin(), last.base());
        if (entries.empty())
            return true;
        if (!table_.sparseIds_.Allocate(entries.size()) || !table_.slots_.Allocate(entries.size()))
            return false;
        for (std::size_t slot = 0; slot < entries.size(); ++slot) {
            table_.sparseIds_[slot] = entries[slot].id;
            if (!StoreRecord(table_.slots_[slot], entries[slot]))
                return false;
        }
        return true;
    }

    // A later entry of the same ID replaces the earlier record.
    bool StoreRecord(TableSlot &slot, const BinEntryView &entry) {
        slot.size = entry.size;
        std::uint8_t *bytes = file_.bytes.get() + entry.offset;
        if (entry.available == entry.size) {
            slot.record = bytes;
            return true;
        }
        return static_cast<bool>(table_.CopyRecord(slot, bytes, entry.available));
    }

    // The holder marker is located from the end of the file.
    bool ReadHolder() {
        std::span<const std::uint8_t> text =
            HolderMarkerText(std::span<const std::uint8_t>(file_.bytes.get(), file_.size));
        if (!table_.holder_.Allocate(text.size() + 1))
            return false;
        if (!text.empty())
            std::memcpy(table_.holder_.Get(), text.data(), text.size());
        return true;
    }

    CBinMaster &table_;
    const platform::FileContent &file_;
};

CBinMaster::CBinMaster() = default;

CBinMaster::~CBinMaster() {
    if (loaded_ != 0)
        UnloadRes();
}

HResult CBinMaster::LoadRes(const char *path) {
    // A path the path field cannot hold whole is refused before anything changes: cut, it
    // would name another file to reload and to write.
    if (path != nullptr && std::strlen(path) >= kPathSize)
        return kEFail;
    if (loaded_ != 0)
        UnloadRes();
    platform::FileContent file;
    if (platform::ReadWholeFile(path, file) != platform::ReadStatus::Ok || Adopt(file) != kSOk)
        return kEFail;
    SafeCopyA(path_, kPathSize, path);
    return kSOk;
}

HResult CBinMaster::LoadImage(const void *bytes, std::size_t size) {
    if (loaded_ != 0)
        UnloadRes();
    // Uninitialised, as for a file read: the copy overwrites every byte.
    platform::FileContent image;
    if (detail::AllocationRefused())
        return kEFail;
    image.bytes = platform::Bytes(new (std::nothrow) std::uint8_t[size > 0 ? size : 1],
                                  platform::BytesRelease{0});
    if (!image.bytes)
        return kEFail;
    if (size > 0)
        std::memcpy(image.bytes.get(), bytes, size);
    image.size = size;
    if (Adopt(image) != kSOk)
        return kEFail;
    path_[0] = '\0';
    return kSOk;
}

HResult CBinMaster::Adopt(platform::FileContent &file) {
    if (!Loader(*this, file).Run()) {
        UnloadRes();
        return kEFail;
    }
    file_ = std::move(file.bytes);
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
    denseSlots_ = 0;
    sparseIds_.Reset();
    slots_.Reset();
    copies_.clear();
    file_.reset();
    holder_.Reset();
    capacity_ = 0;
    count_ = 0;
    loaded_ = 0;
}

const CBinMaster::TableSlot *CBinMaster::SparseFind(std::uint32_t id) const {
    if (!sparseIds_)
        return nullptr;
    const std::uint32_t *begin = sparseIds_.Get();
    const std::uint32_t *end = begin + sparseIds_.Size();
    const std::uint32_t *found = std::lower_bound(begin, end, id);
    return found != end && *found == id ? &slots_[static_cast<std::size_t>(found - begin)]
                                        : nullptr;
}

RecordRef CBinMaster::CopyRecord(TableSlot &slot, const std::uint8_t *bytes,
                                 std::size_t available) {
    std::uint32_t size = slot.size;
    std::size_t textOffset = TextOffset(bytes, available, size);
    // One spare byte lets the text start on an even address whatever its offset.
    std::unique_ptr<std::uint8_t[]> block =
        NewArray<std::uint8_t>(std::size_t{size} + kRecordPadding + 1);
    if (!block)
        return RecordRef{};
    std::uint8_t *record =
        block.get() + ((reinterpret_cast<std::uintptr_t>(block.get()) + textOffset) & 1);
    if (available > 0)
        std::memmove(record, bytes, available);
    if (!TryAllocate([&] {
            copies_.push_back(std::move(block));
            return true;
        }))
        return RecordRef{};
    slot.record = record;
    return RecordRef{record, size};
}

std::uint8_t *CBinMaster::PrepareText(std::uint32_t id, TextState state) {
    TableSlot *slot = Find(id);
    if (slot == nullptr)
        return nullptr;
    RecordRef record{slot->record, slot->size};
    std::uint8_t *text = record.Text();
    if ((slot->prepared & state) != 0)
        return text;
    bool (*prepare)(std::uint8_t *, std::size_t) =
        state == kNarrowReady ? &BlankCarriageReturnsA : &BlankCarriageReturnsW;
    std::size_t available = static_cast<std::size_t>(record.data + record.size - text);
    bool aligned = state == kNarrowReady || (reinterpret_cast<std::uintptr_t>(text) & 1) == 0;
    if (!prepare(text, available) || !aligned) {
        // The copy's zero padding ends the text at the record's end.
        record = CopyRecord(*slot, record.data, record.size);
        if (!record)
            return nullptr;
        text = record.Text();
        prepare(text, record.size - static_cast<std::size_t>(text - record.data) + kRecordPadding);
    }
    // The text offset is at most 2 + 65535, so it fits beside the ready bits.
    auto offset = static_cast<std::uint32_t>(text - record.data);
    slot->prepared = (offset << kTextOffsetShift) | (slot->prepared & 3u) | state;
    return text;
}

} // namespace ril
