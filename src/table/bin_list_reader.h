// Reading a BIN into an item list, for the export tool, and walking a BIN's entries without
// one, for the header tool.
#pragma once

#include "core/byte_cursor.h"
#include "items/ril_txt_loader.h"
#include "platform/file.h"
#include "table/bin_format.h"
#include "table/bin_target.h"

#include <cstdint>
#include <memory>
#include <span>
#include <utility>

namespace ril::table {

// Calls visit(BinEntryView const &) for each entry of the BIN image `bytes` in file order;
// visit returns false when it cannot take the entry. False at the first entry that cannot be
// read (its ID missing or out of bounds, its record empty or cut short beyond what readers
// complete with zeros) or taken, with that entry's ID in `failedId`. A file whose flag makes
// it no BIN has no entries.
template <typename Visit>
bool ForEachBinEntry(std::uint8_t const *bytes, std::size_t size, Visit &&visit,
                     std::uint32_t &failedId) {
    core::ByteReader reader(bytes, size);
    BinHeader header;
    ReadBinHeader(reader, header);
    if (header.flag > kHolderFlagPresent)
        return true;
    for (std::uint32_t i = 0; i < header.count; ++i) {
        BinEntryView entry;
        if (!ReadBinEntry(reader, header.IdBound(), entry) || entry.size == 0 || !visit(entry)) {
            failedId = entry.id;
            return false;
        }
    }
    return true;
}

// The same walk over a BIN that arrives in parts, calling visit(window, entry): each Advance
// visits the entries whose records lie whole within the window bytes[0, size) (all that
// remain once `last` is set), with offsets counted from the window's start, so that each
// record is visited while it is still in the cache. The next window begins with the first
// entry not visited yet, TakeConsumed() bytes on. False once an entry could not be read or
// taken; FailedId() names it.
template <typename Visit> class BinEntryWalk {
  public:
    explicit BinEntryWalk(Visit visit) : visit_(std::move(visit)) {}

    bool Advance(std::uint8_t const *bytes, std::size_t size, bool last) {
        if (failed_ || finished_)
            return !failed_;
        core::ByteReader reader(bytes, size);
        if (!started_) {
            if (size < kBinHeaderSize && !last)
                return true;
            ReadBinHeader(reader, header_);
            offset_ = reader.Offset();
            started_ = true;
            finished_ = header_.flag > kHolderFlagPresent;
        } else {
            reader.Seek(offset_);
        }
        for (; !finished_ && next_ < header_.count; ++next_) {
            if (!last && !EntryArrived(bytes, size))
                return true;
            BinEntryView entry;
            if (!ReadBinEntry(reader, header_.IdBound(), entry) || entry.size == 0 ||
                !visit_(std::span<std::uint8_t const>(bytes, size), entry)) {
                failed_ = true;
                failedId_ = entry.id;
                return false;
            }
            offset_ = reader.Offset();
        }
        finished_ = true;
        return true;
    }
    // The bytes of the window before the first entry not visited yet; the next window begins
    // there.
    std::size_t TakeConsumed() { return std::exchange(offset_, 0); }
    bool Finished() const { return finished_; }
    std::uint32_t FailedId() const { return failedId_; }

  private:
    // Whether the entry at offset_ and its record lie within the window bytes[0, size).
    bool EntryArrived(std::uint8_t const *bytes, std::size_t size) const {
        if (size - offset_ < kBinEntryHeaderSize)
            return false;
        core::ByteReader recordSize(bytes + offset_ + 4, 4);
        std::uint32_t count = 0;
        recordSize.ReadU32(count);
        return count <= size - offset_ - kBinEntryHeaderSize;
    }

    Visit visit_;
    BinHeader header_;
    std::size_t offset_ = 0;
    std::uint32_t next_ = 0;
    std::uint32_t failedId_ = 0;
    bool started_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

// The window a BIN is read into in parts: the bytes not walked yet move to its start, and it
// grows when one entry needs more than it holds.
class PartWindow {
  public:
    // Drops the first `consumed` bytes and gives the room behind the rest; empty when there
    // is no memory for it.
    std::span<std::uint8_t> Room(std::size_t consumed);
    void Filled(std::size_t count) { filled_ += count; }
    std::uint8_t const *Bytes() const { return bytes_.get(); }
    std::size_t Size() const { return filled_; }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_ = 0;
    std::size_t filled_ = 0;
};

// 1 for a file read, or 0 after showing why it could not be.
int ShowReadStatus(char const *path, platform::ReadStatus status, int systemError);

// Walks the entries of the BIN at `path` with `walk` while it is read in parts into a window
// that stays in the cache: 1 once the file was read (check the walk for its entries), or 0
// after showing why it cannot be read.
template <typename Visit> int WalkBinFile(char const *path, BinEntryWalk<Visit> &walk) {
    class Sink final : public platform::PartSink {
      public:
        explicit Sink(BinEntryWalk<Visit> &walk) : walk_(walk) {}
        std::span<std::uint8_t> Room() override { return window_.Room(walk_.TakeConsumed()); }
        bool Filled(std::size_t count, bool last) override {
            window_.Filled(count);
            return walk_.Advance(window_.Bytes(), window_.Size(), last) && !walk_.Finished();
        }

      private:
        BinEntryWalk<Visit> &walk_;
        PartWindow window_;
    };
    Sink sink(walk);
    int error = 0;
    const platform::ReadStatus status = platform::ReadFileInParts(path, sink, &error);
    return ShowReadStatus(path, status, error);
}

// Reads the BIN at `path` whole into `file`: 1, or 0 after showing why not.
int ReadBinFile(char const *path, platform::FileContent &file);

// Appends the entries of the BIN at `path`; 1 on success, 0 after showing why.
int LoadBin(items::CRilTxtLoader &list, char const *path);

// Checks the BIN a tool reads: kSOk; kErrArgument when there is no file (neither a path nor a
// loaded table) or kErrBinRead when it is refused, each shown.
core::HResult CheckToolSource(BinTarget const &source);

// Fills `list` from the BIN a tool reads: kSOk; kErrArgument when there is no file (neither
// a path nor a loaded table) or kErrBinRead when it is refused or unreadable, each shown.
core::HResult LoadToolSource(items::CRilTxtLoader &list, BinTarget const &source);

} // namespace ril::table
