// Output the tool handles beside the library's writers: a text export sent to standard output.
#pragma once

#include <string>
#include <string_view>

namespace rilcli {

class NoticeRenderer;

// The file name that stands for standard output.
inline constexpr std::string_view kStandardStream = "-";

// Exports `bin` to a temporary file and copies that to standard output; the library's notices
// name "-" for the temporary file. Throws Failure.
void ExportToStandardOutput(std::string const &bin, bool wide, NoticeRenderer &notices);

} // namespace rilcli
