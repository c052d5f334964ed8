// Paths on POSIX: '/' separates components and is the one appended.
#include "platform/path.h"

namespace ril::platform {

bool IsPathSeparator(char c) {
    return c == '/';
}

char PreferredSeparator() {
    return '/';
}

bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && path.back() == '/';
}

std::size_t FileNameOffset(std::string_view path) {
    std::size_t last = path.rfind('/');
    return last == std::string_view::npos ? 0 : last + 1;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string joined(dir);
    if (!dir.empty() && !EndsWithSeparator(dir))
        joined += '/';
    joined += name;
    return joined;
}

} // namespace ril::platform
