// Whole-file replacement through a temporary file and a rename.
#include "util/file_replacer.h"

#include "platform/file.h"
#include "platform/fs.h"

#include <string>

namespace ril {
namespace {

std::string TemporaryPathBeside(const char *target) {
    static unsigned serial = 0;
    return std::string(target) + ".~" + std::to_string(platform::ProcessId()) + "-" +
           std::to_string(++serial);
}

} // namespace

ReplaceStatus ReplaceFileContent(const char *target, const std::uint8_t *data, std::size_t size) {
    std::string temporary = TemporaryPathBeside(target);
    platform::File file = platform::File::Open(temporary.c_str(), "wb");
    if (!file.IsOpen())
        return ReplaceStatus::CannotOpen;
    bool written = file.Write(data, size);
    written = file.Close() && written;
    if (written && platform::ReplaceFile(temporary.c_str(), target))
        return ReplaceStatus::Ok;
    platform::RemoveFile(temporary.c_str());
    return ReplaceStatus::WriteFailed;
}

} // namespace ril
