// Reading and appending holder markers.
#include "rtedit/holder_marker.h"

#include "core/allocate.h"
#include "platform/file.h"
#include "platform/file_lock.h"
#include "table/bin_format.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace ril::rtedit {
namespace {

enum class HolderFlag { None, Present, NotABin, Unreadable };

// The file's first word decides: 0 no marker, 1 a marker at the end, anything else not a BIN.
HolderFlag ReadFlag(platform::File &file) {
    std::uint8_t word[4] = {};
    std::size_t got = file.Read(word, sizeof word);
    core::ByteReader reader(word, got);
    table::BinHeader header;
    table::ReadBinHeader(reader, header);
    return header.flag == table::kHolderFlagNone      ? HolderFlag::None
           : header.flag == table::kHolderFlagPresent ? HolderFlag::Present
                                                      : HolderFlag::NotABin;
}

// The newest marker's text, up to its first zero byte; empty when the marker does not fit.
// Only the file's last bytes, as many as the longest marker takes, are read.
std::string ReadMarkerText(platform::File &file) {
    const std::int64_t length = file.Length();
    const std::int64_t tailSize = std::min<std::int64_t>(
        length, static_cast<std::int64_t>(table::HolderMarkerSize(table::kMaxHolderText)));
    if (tailSize < 0 || !file.Seek(length - tailSize, platform::File::Origin::Begin))
        return std::string();
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailSize));
    if (file.Read(tail.data(), tail.size()) != tail.size())
        return std::string();
    std::span<const std::uint8_t> text = table::HolderMarkerText(tail);
    std::string result(text.begin(), text.end());
    return result.substr(0, result.find('\0'));
}

} // namespace

core::HResult GetHolderInfo(char const *path, char *buffer, std::uint32_t *size,
                            std::uint32_t *held) {
    platform::File file = platform::File::Open(path, "rb");
    HolderFlag flag = file.IsOpen() ? ReadFlag(file) : HolderFlag::Unreadable;
    if (flag == HolderFlag::None) {
        if (held != nullptr)
            *held = 0;
        return core::kSOk;
    }
    if (flag != HolderFlag::Present) {
        if (size != nullptr)
            *size = 0;
        return core::kSOk;
    }
    if (held != nullptr)
        *held = 1;
    std::string text = ReadMarkerText(file);
    file.Close();
    std::uint32_t need = text.empty() ? 0 : static_cast<std::uint32_t>(text.size() + 1);
    if (buffer == nullptr) {
        if (size == nullptr)
            return core::kErrArgument;
        *size = need;
        return core::kSOk;
    }
    if (size != nullptr && *size < need) {
        *size = need;
        return core::kErrBufferTooSmall;
    }
    if (need > 0)
        std::memcpy(buffer, text.c_str(), need);
    return core::kSOk;
}

core::HResult AppendHolderMarker(char const *path, char const *holder) {
    std::size_t n = holder != nullptr ? std::strlen(holder) : 0;
    // A text the 16-bit length cannot count is refused rather than cut.
    if (n > table::kMaxHolderText)
        return core::kEInvalidArg;
    const std::size_t markerSize = table::HolderMarkerSize(n);
    std::unique_ptr<std::uint8_t[]> marker = core::NewArray<std::uint8_t>(markerSize);
    if (!marker)
        return core::kEOutOfMemory;
    table::FillHolderMarker(std::span<std::uint8_t>(marker.get(), markerSize),
                            std::string_view(holder != nullptr ? holder : "", n));
    // The file must exist: a marker alone is no file worth creating (a module deleted
    // meanwhile stays deleted). The append takes the lock that module commits take, so that a
    // commit replacing the file cannot drop it; the lock is won on the file the path names
    // once the lock is held. A marker that cannot be written whole is cut off again, so that
    // the previous one still reads.
    const platform::FileLock lock(path);
    if (!lock.Held())
        return core::kEFail;
    platform::AppendStatus appended =
        platform::AppendToFile(path, marker.get(), markerSize, platform::AppendMode::ExistingOnly);
    return appended == platform::AppendStatus::Ok ? core::kSOk : core::kEFail;
}

} // namespace ril::rtedit
