// An output file written under a temporary name beside it and renamed over it at the end, so
// that a failed write leaves the old file (or none) in place.
#pragma once

#include <string>

namespace ril::interchange {

class ReplacedFile {
  public:
    explicit ReplacedFile(std::string path);
    ~ReplacedFile(); // removes the temporary file unless committed
    ReplacedFile(ReplacedFile const &) = delete;
    ReplacedFile &operator=(ReplacedFile const &) = delete;

    std::string const &TemporaryPath() const { return temporary_; }
    // Renames the temporary file to the path; throws Error with the system's reason.
    void Commit();

  private:
    std::string path_;
    std::string temporary_;
    bool committed_ = false;
};

} // namespace ril::interchange
