// Whole-file replacement through an exclusively created temporary file and a rename.
#include "platform/file_replacer.h"

#include "platform/fs.h"
#include "platform/path.h"
#include "platform/system_error.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace ril::platform {
namespace {

constexpr int kNameAttempts = 16;

// A random 64-bit number for a temporary file's name. The name only has to be hard to guess:
// the file is created exclusively, so a name that is taken is never used.
std::uint64_t RandomNumber(void const *salt) {
    std::uint64_t value = reinterpret_cast<std::uintptr_t>(salt);
    try {
        std::random_device device;
        value ^= (std::uint64_t{device()} << 32) ^ device();
    } catch (...) {
    }
    value ^= static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    // splitmix64's finaliser spreads every input bit over the whole number.
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9u;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

// A short random name in the target's folder, so that a long target name cannot make it
// too long.
std::string TemporaryPathBeside(std::string const &target, void const *salt) {
    char name[32];
    std::snprintf(name, sizeof name, ".ril~%016llx.tmp",
                  static_cast<unsigned long long>(RandomNumber(salt)));
    return target.substr(0, platform::FileNameOffset(target)) + name;
}

// Whether two files hold the same bytes, read in pieces; false when either cannot be read.
bool SameContent(char const *a, char const *b) {
    platform::File first = platform::File::Open(a, "rb");
    platform::File second = platform::File::Open(b, "rb");
    if (!first.IsOpen() || !second.IsOpen() || first.Length() != second.Length())
        return false;
    constexpr std::size_t kPiece = std::size_t{64} << 10;
    std::unique_ptr<char[]> one(new char[kPiece]);
    std::unique_ptr<char[]> two(new char[kPiece]);
    for (;;) {
        std::size_t const got = first.Read(one.get(), kPiece);
        if (second.Read(two.get(), kPiece) != got || std::memcmp(one.get(), two.get(), got) != 0)
            return false;
        if (got < kPiece)
            return true;
    }
}

} // namespace

FileReplacer::FileReplacer(char const *target, ReplaceMode mode) : mode_(mode) {
    if (target == nullptr || target[0] == '\0')
        return;
    platform::ClearSystemError();
    // A target that is a symbolic link: the file it leads to is replaced, the link stays.
    target_ = platform::FinalPath(target);
    if (target_.empty() || !platform::CanReplace(target_.c_str())) {
        NoteFailure();
        return;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = TemporaryPathBeside(target_, this);
        bool taken = false;
        platform::ClearSystemError();
        file_ = platform::File::CreateNew(candidate.c_str(), taken);
        if (file_.IsOpen()) {
            temporary_ = std::move(candidate);
            buffer_.reset(new char[kBufferSize]);
            return;
        }
        if (!taken) {
            NoteFailure();
            return;
        }
    }
}

FileReplacer::~FileReplacer() {
    if (file_.IsOpen())
        file_.Close();
    if (!committed_ && !temporary_.empty())
        platform::RemoveFile(temporary_.c_str());
}

void FileReplacer::NoteFailure() {
    if (systemError_ == 0)
        systemError_ = platform::LastSystemError();
}

void FileReplacer::Flush() {
    if (used_ > 0 && !failed_) {
        platform::ClearSystemError();
        failed_ = !file_.Write(buffer_.get(), used_);
    }
    if (failed_)
        NoteFailure();
    used_ = 0;
}

void FileReplacer::Write(void const *data, std::size_t size) {
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
        platform::ClearSystemError();
        failed_ = !file_.Write(data, size);
        if (failed_)
            NoteFailure();
    }
}

ReplaceStatus FileReplacer::Commit() {
    if (!file_.IsOpen())
        return ReplaceStatus::CannotOpen;
    Flush();
    // The file was created for the owner alone; now it gets the target's permissions.
    file_.MatchPermissions(target_.c_str());
    if (!failed_)
        platform::ClearSystemError();
    bool written = file_.Close() && !failed_;
    if (written && mode_ == ReplaceMode::IfChanged &&
        SameContent(temporary_.c_str(), target_.c_str()))
        return ReplaceStatus::Ok; // the destructor removes the temporary file
    if (!written || !platform::ReplaceFile(temporary_.c_str(), target_.c_str())) {
        NoteFailure();
        return ReplaceStatus::WriteFailed;
    }
    committed_ = true;
    return ReplaceStatus::Ok;
}

ReplaceStatus ReplaceFileContent(char const *target, std::uint8_t const *data, std::size_t size,
                                 int *systemError, ReplaceMode mode) {
    FileReplacer file(target, mode);
    ReplaceStatus status = ReplaceStatus::CannotOpen;
    if (file.IsOpen()) {
        file.Write(data, size);
        status = file.Commit();
    }
    if (systemError != nullptr)
        *systemError = file.SystemError();
    return status;
}

} // namespace ril::platform
