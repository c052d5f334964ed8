// A text export to standard output, through a temporary file that no message names.
#include "output_files.h"

#include "Ril4410.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_output.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace rilcli {

namespace fs = std::filesystem;

void ExportToStandardOutput(std::string const &bin, bool wide, NoticeRenderer &notices) {
    std::error_code error;
    fs::path const folder = fs::temp_directory_path(error);
    if (error)
        throw Failure("cannot export '" + bin + "' to standard output: no temporary folder");
    // A name in the temporary folder that no other file is likely to have.
    std::mt19937_64 generator(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    char tag[32];
    std::snprintf(tag, sizeof tag, "ril4410-stdout-%012llx.txt",
                  static_cast<unsigned long long>(generator() >> 16));
    std::string const scratch = (folder / tag).string();
    // The library's notices about the temporary file are about standard output.
    notices.Collect([&](Diagnostic diagnostic) {
        if (diagnostic.file == scratch)
            diagnostic.file = kStandardStream;
        for (std::size_t at; (at = diagnostic.text.find(scratch)) != std::string::npos;)
            diagnostic.text.replace(at, scratch.size(), kStandardStream);
        std::fputs(NoticeRenderer::Format(diagnostic).c_str(), stderr);
    });
    RIL_LONG const result = Ril_ExportResFromBinToTxt(scratch.c_str(), wide ? 1 : 0, bin.c_str());
    notices.Flush();
    notices.Collect(nullptr);
    std::ifstream in(scratch, std::ios::binary);
    std::string const text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool const readBack = in.is_open() && !in.bad();
    in.close();
    fs::remove(scratch, error);
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to standard output", result);
    if (!readBack)
        throw Failure("cannot read back the export of '" + bin + "'");
    WriteOut(text);
    FinishOutput();
}

} // namespace rilcli
