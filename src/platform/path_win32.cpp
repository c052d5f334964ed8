// Paths on Windows: '\' and '/' both separate components and '\' is appended. Paths are
// bytes in the ANSI code page, so a scan steps over double-byte characters whole: their
// second byte may be 0x5C ('\') without being a separator.
#include "platform/path.h"

#include <windows.h>

namespace ril::platform {
namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of a leading drive "X:", or 0.
std::size_t DrivePrefix(std::string_view path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':' ? 2 : 0;
}

// Offset just past the last separator, or 0; `endsWithSeparator` tells whether the path's
// last character is one. The file functions read "A" paths in the ANSI code page (CP_ACP).
std::size_t ScanSeparators(std::string_view path, bool &endsWithSeparator) {
    std::size_t pastLast = 0;
    endsWithSeparator = false;
    for (std::size_t i = 0; i < path.size();) {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            i += 2;
            endsWithSeparator = false;
            continue;
        }
        endsWithSeparator = IsPathSeparator(path[i]);
        ++i;
        if (endsWithSeparator)
            pastLast = i;
    }
    return pastLast;
}

} // namespace

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

char PreferredSeparator() {
    return '\\';
}

bool EndsWithSeparator(std::string_view path) {
    bool ends = false;
    ScanSeparators(path, ends);
    return ends;
}

std::size_t FileNameOffset(std::string_view path) {
    bool ends = false;
    std::size_t offset = ScanSeparators(path, ends);
    return offset != 0 ? offset : DrivePrefix(path);
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string joined(dir);
    if (!dir.empty() && !EndsWithSeparator(dir) && DrivePrefix(dir) != dir.size())
        joined += '\\';
    joined += name;
    return joined;
}

} // namespace ril::platform
