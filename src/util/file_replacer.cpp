// Whole-file replacement through a temporary file and a rename.
#include "util/file_replacer.h"

#include "platform/fs.h"
#include "platform/path.h"

#include <cstring>

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

FileReplacer::FileReplacer(const char *target) {
    if (target == nullptr || target[0] == '\0' || !platform::CanReplace(target))
        return;
    target_ = target;
    temporary_ = TemporaryPathBeside(target);
    file_ = platform::File::Open(temporary_.c_str(), "wb");
    if (file_.IsOpen())
        buffer_.reset(new char[kBufferSize]);
}

FileReplacer::~FileReplacer() {
    if (file_.IsOpen())
        file_.Close();
    if (!committed_ && !temporary_.empty())
        platform::RemoveFile(temporary_.c_str());
}

void FileReplacer::Flush() {
    if (used_ > 0 && !failed_)
        failed_ = !file_.Write(buffer_.get(), used_);
    used_ = 0;
}

void FileReplacer::Write(const void *data, std::size_t size) {
    if (size <= kBufferSize - used_) {
        std::memcpy(buffer_.get() + used_, data, size);
        used_ += size;
        return;
    }
    Flush();
    if (size < kBufferSize) {
        std::memcpy(buffer_.get(), data, size);
        used_ = size;
    } else if (!failed_) {
        failed_ = !file_.Write(data, size);
    }
}

ReplaceStatus FileReplacer::Commit() {
    if (!file_.IsOpen())
        return ReplaceStatus::CannotOpen;
    Flush();
    bool written = file_.Close() && !failed_;
    platform::CopyPermissions(target_.c_str(), temporary_.c_str());
    if (!written || !platform::ReplaceFile(temporary_.c_str(), target_.c_str()))
        return ReplaceStatus::WriteFailed;
    committed_ = true;
    return ReplaceStatus::Ok;
}

ReplaceStatus ReplaceFileContent(const char *target, const std::uint8_t *data, std::size_t size) {
    FileReplacer file(target);
    if (!file.IsOpen())
        return ReplaceStatus::CannotOpen;
    file.Write(data, size);
    return file.Commit();
}

} // namespace ril
