// Reading whole input files through standard streams.
#include "input_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace rilcli {

bool IsDirectory(std::string const &path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(std::string const &path) {
    if (IsDirectory(path))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + file.gcount());
        if (!file)
            break;
    }
    if (file.bad())
        return std::nullopt;
    return bytes;
}

} // namespace rilcli
