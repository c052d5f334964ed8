// Reading and probing input files through the C library, keeping errno for the reason.
#include "input_files.h"

#include "diagnostics.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace rilcli {

std::optional<std::string> ReadWholeFile(std::string const &path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
        return std::nullopt;
    return bytes;
}

void RequireReadableFile(std::string const &path) {
    std::error_code ignored;
    // Opening a directory succeeds on some systems and fails otherwise: say it alike.
    int error = EISDIR;
    if (!std::filesystem::is_directory(path, ignored)) {
        errno = 0;
        std::unique_ptr<std::FILE, int (*)(std::FILE *)> const file(std::fopen(path.c_str(), "rb"),
                                                                    &std::fclose);
        if (file)
            return;
        error = errno;
    }
    throw Failure("cannot open '" + path +
                  "': " + (error != 0 ? std::strerror(error) : "unknown error"));
}

} // namespace rilcli
