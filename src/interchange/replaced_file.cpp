// The temporary file and its rename, through std::filesystem.
#include "interchange/replaced_file.h"

#include "interchange/interchange_error.h"

#include <filesystem>
#include <system_error>

namespace ril::interchange {

ReplacedFile::ReplacedFile(std::string path)
    : path_(std::move(path)), temporary_(path_ + ".ril4410-part") {}

ReplacedFile::~ReplacedFile() {
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void ReplacedFile::Commit() {
    std::error_code error;
    std::filesystem::rename(temporary_, path_, error);
    if (error)
        throw Error({path_}, "cannot write the file: " + error.message());
    committed_ = true;
}

} // namespace ril::interchange
