// Whole-file replacement through a temporary file and a rename.
#include "util/file_replacer.h"

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/path.h"

#include <string>

namespace ril {
namespace {

// A short name in the target's folder, so that a long target name cannot make it too long.
std::string TemporaryPathBeside(const char *target) {
    static unsigned serial = 0;
    std::string folder(target, platform::FileNameOffset(target));
    return folder + ".ril~" + std::to_string(platform::ProcessId()) + "-" +
           std::to_string(++serial) + ".tmp";
}

} // namespace

ReplaceStatus ReplaceFileContent(const char *target, const std::uint8_t *data, std::size_t size) {
    if (target == nullptr || target[0] == '\0' || !platform::CanReplace(target))
        return ReplaceStatus::CannotOpen;
    std::string temporary = TemporaryPathBeside(target);
    platform::File file = platform::File::Open(temporary.c_str(), "wb");
    if (!file.IsOpen())
        return ReplaceStatus::CannotOpen;
    bool written = file.Write(data, size);
    written = file.Close() && written;
    platform::CopyPermissions(target, temporary.c_str());
    if (written && platform::ReplaceFile(temporary.c_str(), target))
        return ReplaceStatus::Ok;
    platform::RemoveFile(temporary.c_str());
    return ReplaceStatus::WriteFailed;
}

} // namespace ril
