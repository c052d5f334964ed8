// Reading and appending holder markers.
#include "rtedit/holder_marker.h"

#include "core/allocate.h"
#include "core/le_reader.h"
#include "platform/file.h"

#include <cstring>
#include <memory>
#include <string>

namespace ril {
namespace {

constexpr std::size_t kMaxHolderText = 0xFFFF; // the width of the marker's length field

enum class HolderFlag { None, Present, NotABin, Unreadable };

// The file's first word decides: 0 no marker, 1 a marker at the end, anything else not a BIN.
HolderFlag ReadFlag(platform::File &file) {
    std::uint8_t word[4] = {};
    std::size_t got = file.Read(word, sizeof word);
    std::uint32_t flag = 1; // an empty or short file counts as flag 1
    LeReader(word, got).ReadU32(flag);
    return flag == 0 ? HolderFlag::None : flag == 1 ? HolderFlag::Present : HolderFlag::NotABin;
}

// The newest marker's text, up to its first zero byte; empty when the marker does not fit.
std::string ReadMarkerText(platform::File &file) {
    std::int64_t length = file.Length();
    std::uint8_t count[2] = {};
    if (length < 3 || !file.Seek(length - 3, platform::File::Origin::Begin) ||
        file.Read(count, 2) != 2)
        return std::string();
    std::uint16_t n = LoadU16(count);
    if (n == 0 || length < 3 + std::int64_t{n} ||
        !file.Seek(length - 3 - n, platform::File::Origin::Begin))
        return std::string();
    std::string text(n, '\0');
    text.resize(file.Read(text.data(), n));
    return text.substr(0, text.find('\0'));
}

} // namespace

HResult GetHolderInfo(const char *path, char *buffer, std::uint32_t *size, std::uint32_t *held) {
    platform::File file = platform::File::Open(path, "rb");
    HolderFlag flag = file.IsOpen() ? ReadFlag(file) : HolderFlag::Unreadable;
    if (flag == HolderFlag::None) {
        if (held != nullptr)
            *held = 0;
        return kSOk;
    }
    if (flag != HolderFlag::Present) {
        if (size != nullptr)
            *size = 0;
        return kSOk;
    }
    if (held != nullptr)
        *held = 1;
    std::string text = ReadMarkerText(file);
    file.Close();
    std::uint32_t need = text.empty() ? 0 : static_cast<std::uint32_t>(text.size() + 1);
    if (buffer == nullptr) {
        if (size == nullptr)
            return kErrArgument;
        *size = need;
        return kSOk;
    }
    if (size != nullptr && *size < need) {
        *size = need;
        return kErrBufferTooSmall;
    }
    if (need > 0)
        std::memcpy(buffer, text.c_str(), need);
    return kSOk;
}

HResult AppendHolderMarker(const char *path, const char *holder) {
    std::size_t n = holder != nullptr ? std::strlen(holder) : 0;
    // A text the 16-bit length cannot count is refused rather than cut.
    if (n > kMaxHolderText)
        return kEInvalidArg;
    std::unique_ptr<std::uint8_t[]> marker = NewArray<std::uint8_t>(n + 3);
    if (!marker)
        return kEOutOfMemory;
    if (n > 0)
        std::memcpy(marker.get(), holder, n);
    marker[n] = static_cast<std::uint8_t>(n);
    marker[n + 1] = static_cast<std::uint8_t>(n >> 8);
    // The file must exist: a marker alone is no file worth creating (a module deleted
    // meanwhile stays deleted). A marker that cannot be written whole is cut off again, so
    // that the previous one still reads.
    platform::AppendStatus appended =
        platform::AppendToFile(path, marker.get(), n + 3, platform::AppendMode::ExistingOnly);
    return appended == platform::AppendStatus::Ok ? kSOk : kEFail;
}

} // namespace ril
