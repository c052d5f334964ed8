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

namespace ril::table {
namespace {

// Where the text of a record of `size` bytes starts, given its first two bytes.
std::size_t TextOffset(std::uint8_t const *record, std::size_t available, std::uint32_t size) {
    std::uint8_t head[2 + items::kRecordPadding] = {};
    std::memcpy(head, record, available < 2 ? available : 2);
    items::RecordRef view{head, size};
    return static_cast<std::size_t>(view.Text() - head);
}

} // namespace

// Parses the file image into the table's fields. Reads follow a stream's rules at end of
// file: a field that cannot be read whole keeps its preset value, and a record cut short by
// the end of the file keeps zero bytes where its data is missing. A dense table is parsed
// while the file is read, each part as it arrives, so its entry headers are read from cache.
class CBinMaster::Loader final : public platform::ReadProgress {
  public:
    explicit Loader(CBinMaster &table) : table_(table) {}

    // The header once it is whole, then every entry whose record lies in the bytes read.
    void Read(std::uint8_t const *bytes, std::size_t size, std::size_t done) override {
        if (!started_ && done >= kBinHeaderSize)
            Start(bytes, size);
        if (started_ && ok_ && !sparse_)
            ReadDense(done);
    }

    // Parses the rest of the image `bytes` of `size` bytes, from the start when it is not the
    // one parsed so far: false when it fails the load.
    bool Finish(std::uint8_t const *bytes, std::size_t size) {
        if (started_ && (bytes != bytes_ || size != size_)) {
            table_.UnloadRes();
            started_ = false;
            ok_ = true;
            sparse_ = false;
            next_ = 0;
        }
        if (!started_)
            Start(bytes, size);
        if (ok_)
            sparse_ ? ReadSparse() : ReadDense(size);
        return ok_ && (header_.flag == kHolderFlagNone || ReadHolder());
    }

  private:
    void Start(std::uint8_t const *bytes, std::size_t size) {
        started_ = true;
        bytes_ = bytes;
        size_ = size;
        reader_ = core::ByteReader(bytes, size);
        ReadBinHeader(reader_, header_);
        if (header_.flag > kHolderFlagPresent) {
            ok_ = false;
            return;
        }
        table_.count_ = header_.count;
        if (table_.count_ == 0)
            return;
        table_.capacity_ = header_.IdBound();
        sparse_ = !DenseSlotsFit(table_.capacity_, size);
        if (sparse_)
            return;
        ok_ = table_.slots_.Allocate(table_.capacity_);
        if (ok_)
            table_.denseSlots_ = table_.capacity_;
    }

    // Reads the next entry: false when it fails the load, else `entry.size` is 0 for an entry
    // without a record. Every entry read takes at least 8 bytes of the file, and a read past
    // its end yields an ID beyond any capacity, so the walk is bounded by the file.
    bool ReadEntry(BinEntryView &entry) {
        entry = BinEntryView{};
        ++next_;
        return ReadBinEntry(reader_, table_.capacity_, entry);
    }

    // The entries whose records end within the first `limit` bytes, or all at the end.
    void ReadDense(std::size_t limit) {
        bool const whole = limit >= size_;
        while (ok_ && next_ < table_.count_ && (whole || RecordEnd(reader_.Offset()) <= limit)) {
            BinEntryView entry;
            ok_ = ReadEntry(entry) &&
                  (entry.size == 0 || StoreRecord(table_.slots_[entry.id], entry));
        }
    }
    // Where the record of the entry at `offset` ends (beyond `size_` when its header does).
    std::uint64_t RecordEnd(std::size_t offset) {
        if (size_ - offset < kBinEntryHeaderSize)
            return std::uint64_t{size_} + 1;
        return std::uint64_t{offset} + kBinEntryHeaderSize + reader_.U32At(offset + 4);
    }

    // IDs too sparse for a slot each: the records are collected, ordered by ID (the last
    // entry of an ID wins) and given one slot each in that order.
    void ReadSparse() {
        std::vector<BinEntryView> entries;
        ok_ = core::TryAllocate([&] {
            while (next_ < table_.count_) {
                BinEntryView entry;
                if (!ReadEntry(entry))
                    return false;
                if (entry.size > 0)
                    entries.push_back(entry);
            }
            return true;
        });
        if (!ok_)
            return;
        std::stable_sort(entries.begin(), entries.end(),
                         [](BinEntryView const &a, BinEntryView const &b) { return a.id < b.id; });
        auto last =
            std::unique(entries.rbegin(), entries.rend(),
                        [](BinEntryView const &a, BinEntryView const &b) { return a.id == b.id; });
        entries.erase(entries.begin(), last.base());
        if (entries.empty())
            return;
        ok_ = table_.sparseIds_.Allocate(entries.size()) && table_.slots_.Allocate(entries.size());
        for (std::size_t slot = 0; ok_ && slot < entries.size(); ++slot) {
            table_.sparseIds_[slot] = entries[slot].id;
            ok_ = StoreRecord(table_.slots_[slot], entries[slot]);
        }
    }

    // A later entry of the same ID replaces the earlier record.
    bool StoreRecord(TableSlot &slot, BinEntryView const &entry) {
        slot.size = entry.size;
        std::uint8_t *bytes = const_cast<std::uint8_t *>(bytes_) + entry.offset;
        if (entry.available == entry.size) {
            slot.record = bytes;
            return true;
        }
        return static_cast<bool>(table_.CopyRecord(slot, bytes, entry.available));
    }

    // The holder marker is located from the end of the file.
    bool ReadHolder() {
        std::span<const std::uint8_t> text =
            HolderMarkerText(std::span<const std::uint8_t>(bytes_, size_));
        if (!table_.holder_.Allocate(text.size() + 1))
            return false;
        if (!text.empty())
            std::memcpy(table_.holder_.Get(), text.data(), text.size());
        return true;
    }

    CBinMaster &table_;
    std::uint8_t const *bytes_ = nullptr;
    std::size_t size_ = 0;
    core::ByteReader reader_{nullptr, 0};
    BinHeader header_;
    bool started_ = false;
    bool ok_ = true;
    bool sparse_ = false;
    std::uint32_t next_ = 0; // entries read
};

CBinMaster::CBinMaster() = default;

CBinMaster::~CBinMaster() {
    if (loaded_ != 0)
        UnloadRes();
}

core::HResult CBinMaster::LoadRes(char const *path) {
    // A path the path field cannot hold whole is refused before anything changes: cut, it
    // would name another file to reload and to write.
    if (path != nullptr && std::strlen(path) >= core::kPathSize)
        return core::kEFail;
    if (loaded_ != 0)
        UnloadRes();
    platform::FileContent file;
    Loader loader(*this);
    if (platform::ReadWholeFile(path, file, &loader) != platform::ReadStatus::Ok) {
        UnloadRes();
        return core::kEFail;
    }
    if (Adopt(file, loader) != core::kSOk)
        return core::kEFail;
    core::SafeCopyA(path_, core::kPathSize, path);
    return core::kSOk;
}

core::HResult CBinMaster::LoadImage(void const *bytes, std::size_t size) {
    // The caller's bytes may lie inside the loaded table (a BIN image stored as an item's
    // data): then the copy is taken whole before the table is dropped, and parsed after.
    bool const replacing = loaded_ != 0;
    // Uninitialised, as for a file read: the copy overwrites every byte.
    platform::FileContent image;
    if (!core::detail::AllocationRefused())
        image.bytes = platform::Bytes(new (std::nothrow) std::uint8_t[size > 0 ? size : 1],
                                      platform::BytesRelease{0});
    if (!image.bytes) {
        UnloadRes();
        return core::kEFail;
    }
    // Copied in parts, each parsed while it is in cache, as a file is read.
    Loader loader(*this);
    constexpr std::size_t kPart = std::size_t{256} << 10;
    for (std::size_t done = 0; done < size;) {
        std::size_t part = size - done < kPart ? size - done : kPart;
        std::memcpy(image.bytes.get() + done, static_cast<std::uint8_t const *>(bytes) + done,
                    part);
        done += part;
        if (!replacing)
            loader.Read(image.bytes.get(), size, done);
    }
    if (replacing)
        UnloadRes();
    image.size = size;
    if (Adopt(image, loader) != core::kSOk)
        return core::kEFail;
    path_[0] = '\0';
    return core::kSOk;
}

core::HResult CBinMaster::LoadContent(platform::FileContent &content) {
    if (loaded_ != 0)
        UnloadRes();
    Loader loader(*this);
    if (Adopt(content, loader) != core::kSOk)
        return core::kEFail;
    path_[0] = '\0';
    return core::kSOk;
}

core::HResult CBinMaster::Adopt(platform::FileContent &file, Loader &loader) {
    if (!loader.Finish(file.bytes.get(), file.size)) {
        UnloadRes();
        return core::kEFail;
    }
    file_ = std::move(file.bytes);
    loaded_ = 1;
    return core::kSOk;
}

core::HResult CBinMaster::ReLoadRes() {
    if (loaded_ != 0 || path_[0] == '\0')
        return core::kEFail;
    char path[core::kPathSize];
    std::memcpy(path, path_, core::kPathSize);
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

CBinMaster::TableSlot const *CBinMaster::SparseFind(std::uint32_t id) const {
    if (!sparseIds_)
        return nullptr;
    std::uint32_t const *begin = sparseIds_.Get();
    std::uint32_t const *end = begin + sparseIds_.Size();
    std::uint32_t const *found = std::lower_bound(begin, end, id);
    return found != end && *found == id ? &slots_[static_cast<std::size_t>(found - begin)]
                                        : nullptr;
}

items::RecordRef CBinMaster::CopyRecord(TableSlot &slot, std::uint8_t const *bytes,
                                        std::size_t available) {
    std::uint32_t size = slot.size;
    std::size_t textOffset = TextOffset(bytes, available, size);
    // One spare byte lets the text start on an even address whatever its offset.
    std::unique_ptr<std::uint8_t[]> block =
        core::NewArray<std::uint8_t>(std::size_t{size} + items::kRecordPadding + 1);
    if (!block)
        return items::RecordRef{};
    std::uint8_t *record =
        block.get() + ((reinterpret_cast<std::uintptr_t>(block.get()) + textOffset) & 1);
    if (available > 0)
        std::memmove(record, bytes, available);
    if (!core::TryAllocate([&] {
            copies_.push_back(std::move(block));
            return true;
        }))
        return items::RecordRef{};
    slot.record = record;
    return items::RecordRef{record, size};
}

std::uint8_t *CBinMaster::PrepareText(std::uint32_t id, TextState state) {
    TableSlot *slot = Find(id);
    if (slot == nullptr)
        return nullptr;
    items::RecordRef record{slot->record, slot->size};
    std::uint8_t *text = record.Text();
    if ((slot->prepared & static_cast<std::uint32_t>(state)) != 0)
        return text;
    bool (*prepare)(std::uint8_t *, std::size_t) = state == TextState::NarrowReady
                                                       ? &items::BlankCarriageReturnsA
                                                       : &items::BlankCarriageReturnsW;
    std::size_t available = static_cast<std::size_t>(record.data + record.size - text);
    bool aligned =
        state == TextState::NarrowReady || (reinterpret_cast<std::uintptr_t>(text) & 1) == 0;
    if (!prepare(text, available) || !aligned) {
        // The copy's zero padding ends the text at the record's end.
        record = CopyRecord(*slot, record.data, record.size);
        if (!record)
            return nullptr;
        text = record.Text();
        prepare(text,
                record.size - static_cast<std::size_t>(text - record.data) + items::kRecordPadding);
    }
    // The text offset is at most 2 + 65535, so it fits beside the ready bits.
    auto offset = static_cast<std::uint32_t>(text - record.data);
    slot->prepared =
        (offset << kTextOffsetShift) | (slot->prepared & 3u) | static_cast<std::uint32_t>(state);
    return text;
}

} // namespace ril::table
