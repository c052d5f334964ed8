// Reading a BIN into an item list, for the export tool, and walking a BIN's entries without
// one, for the header tool.
#pragma once

#include "core/byte_cursor.h"
#include "items/ril_txt_loader.h"
#include "platform/file.h"
#include "table/bin_format.h"
#include "table/bin_target.h"

#include <cstdint>
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

// The same walk while the BIN is read in parts, calling visit(read, entry) with the span of
// the bytes read so far: each Advance visits the entries whose records lie within the first
// `done` bytes (all that remain once `done` is the whole `size`), so that each record is
// visited while it is still in the cache.
// False once an entry could not be read or taken; FailedId() names it.
template <typename Visit> class BinEntryWalk {
  public:
    explicit BinEntryWalk(Visit visit) : visit_(std::move(visit)) {}

    bool Advance(std::uint8_t const *bytes, std::size_t size, std::size_t done) {
        if (failed_ || finished_)
            return !failed_;
        core::ByteReader reader(bytes, size);
        if (!started_) {
            if (done < kBinHeaderSize && done < size)
                return true;
            ReadBinHeader(reader, header_);
            offset_ = reader.Offset();
            started_ = true;
            finished_ = header_.flag > kHolderFlagPresent;
        } else {
            reader.Seek(offset_);
        }
        for (; !finished_ && next_ < header_.count; ++next_) {
            if (done < size && !EntryArrived(bytes, done))
                return true;
            BinEntryView entry;
            if (!ReadBinEntry(reader, header_.IdBound(), entry) || entry.size == 0 ||
                !visit_(std::span<std::uint8_t const>(bytes, done), entry)) {
                failed_ = true;
                failedId_ = entry.id;
                return false;
            }
            offset_ = reader.Offset();
        }
        finished_ = true;
        return true;
    }
    std::uint32_t FailedId() const { return failedId_; }

  private:
    // Whether the entry at offset_ and its record lie within the first `done` bytes.
    bool EntryArrived(std::uint8_t const *bytes, std::size_t done) const {
        if (offset_ > done || done - offset_ < kBinEntryHeaderSize)
            return false;
        core::ByteReader size(bytes + offset_ + 4, 4);
        std::uint32_t recordSize = 0;
        size.ReadU32(recordSize);
        return recordSize <= done - offset_ - kBinEntryHeaderSize;
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

// Reads the BIN at `path` whole into `file`, telling `progress` of each part: 1, or 0 after
// showing why not.
int ReadBinFile(char const *path, platform::FileContent &file,
                platform::ReadProgress *progress = nullptr);

// Appends the entries of the BIN at `path`; 1 on success, 0 after showing why.
int LoadBin(items::CRilTxtLoader &list, char const *path);

// Checks the BIN a tool reads: kSOk; kErrArgument when there is no file (neither a path nor a
// loaded table) or kErrBinRead when it is refused, each shown.
core::HResult CheckToolSource(BinTarget const &source);

// Fills `list` from the BIN a tool reads: kSOk; kErrArgument when there is no file (neither
// a path nor a loaded table) or kErrBinRead when it is refused or unreadable, each shown.
core::HResult LoadToolSource(items::CRilTxtLoader &list, BinTarget const &source);

} // namespace ril::table
