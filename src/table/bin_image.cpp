// Building a BIN image in one buffer of exactly the file's size.
#include "table/bin_image.h"

#include "platform/clock.h"
#include "platform/user.h"
#include "table/safe_text.h"
#include "util/le_writer.h"

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

std::vector<std::uint8_t> BuildBinImage(const std::vector<BinEntry> &entries,
                                        const std::string &holderText) {
    std::size_t size = kHeaderSize + holderText.size() + kTrailerExtra;
    std::uint32_t maxId = 0;
    for (const BinEntry &entry : entries) {
        size += kEntryHeaderSize + entry.size;
        if (entry.id > maxId)
            maxId = entry.id;
    }
    LeWriter out(size);
    out.U32(1);
    out.U32(entries.empty() ? 0 : maxId);
    out.U32(static_cast<std::uint32_t>(entries.size()));
    for (const BinEntry &entry : entries) {
        out.U32(entry.id);
        out.U32(entry.size);
        out.Bytes(entry.record, entry.size);
    }
    out.Bytes(holderText.data(), holderText.size());
    out.U16(static_cast<std::uint16_t>(holderText.size()));
    out.Zeros(1);
    return out.Data();
}

} // namespace ril
