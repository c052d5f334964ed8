// Reading with stdio, which keeps the system's error number for the message.
#include "interchange/file_bytes.h"

#include "interchange/interchange_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace ril::interchange {
namespace {

struct FileClose {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

[[noreturn]] void Fail(std::string const &path) {
    throw Error({path}, std::string("cannot read the file: ") + std::strerror(errno));
}

} // namespace

std::string ReadFileBytes(std::string const &path) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        Fail(path);
    std::string bytes;
    char block[65536];
    std::size_t read;
    while ((read = std::fread(block, 1, sizeof block, file.get())) > 0)
        bytes.append(block, read);
    if (std::ferror(file.get()))
        Fail(path);
    return bytes;
}

} // namespace ril::interchange
