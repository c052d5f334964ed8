// Writing a BIN: the header, whose max ID and count are known before the first entry, then
// the entries and the holder marker, streamed through the file's buffered writer.
#include "table/bin_image.h"

#include "platform/clock.h"
#include "platform/user.h"
#include "core/safe_text.h"
#include "core/le_writer.h"

namespace ril {
namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntryHeaderSize = 8;
constexpr std::size_t kTrailerExtra = 3; // the 16-bit length and the closing zero byte
constexpr std::size_t kUserNameSize = 512;

} // namespace

std::string CurrentHolderText() {
    std::string user = platform::CurrentUserName();
    if (user.size() >= kUserNameSize)
        user.resize(kUserNameSize - 1);
    platform::LocalTime now = platform::CurrentLocalTime();
    char text[1024];
    SafeFormatA(text, sizeof text,
                "Holder=%s    Editor=VeruDodUzarer    StartTime=%u-%u-%u %u:%u'%u\"", user.c_str(),
                now.year, now.month, now.day, now.hour, now.minute, now.second);
    return std::string(text);
}

void WriteBinHead(FileReplacer &out, std::uint32_t maxId, std::uint32_t count) {
    std::uint8_t head[kHeaderSize];
    StoreU32(head, 1);
    StoreU32(head + 4, maxId);
    StoreU32(head + 8, count);
    out.Write(head, sizeof head);
}

void WriteBinEntry(FileReplacer &out, const BinEntry &entry) {
    std::uint8_t entryHead[kEntryHeaderSize];
    StoreU32(entryHead, entry.id);
    StoreU32(entryHead + 4, entry.size);
    out.Write(entryHead, sizeof entryHead);
    out.Write(entry.record, entry.size);
}

void WriteBinTail(FileReplacer &out, const std::string &holderText) {
    std::uint8_t trailer[kTrailerExtra] = {0, 0, 0};
    StoreU16(trailer, static_cast<std::uint16_t>(holderText.size()));
    out.Write(holderText.data(), holderText.size());
    out.Write(trailer, sizeof trailer);
}

void WriteBinImage(FileReplacer &out, const std::vector<BinEntry> &entries,
                   const std::string &holderText) {
    std::uint32_t maxId = 0;
    for (const BinEntry &entry : entries)
        if (entry.id > maxId)
            maxId = entry.id;
    WriteBinHead(out, maxId, static_cast<std::uint32_t>(entries.size()));
    for (const BinEntry &entry : entries)
        WriteBinEntry(out, entry);
    WriteBinTail(out, holderText);
}

} // namespace ril
