// libFuzzer target: reads the input as a BIN into an item list (LoadBin), then
// writes the list as text files and headers in both flavours, checking each file is in place.
#include "items/ril_txt_loader.h"
#include "table/bin_list_reader.h"
#include "text/txt_writer.h"
#include "tools/header_writer.h"

#include "Ril4410.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

using namespace ril::table;
using namespace ril::text;

namespace {

namespace fs = std::filesystem;

struct Paths {
    std::string folder, bin, textA, textW, headerA, headerW;
};

Paths &TempPaths() {
    static Paths paths;
    return paths;
}

void RemoveTempFolder() {
    std::error_code ignored;
    fs::remove_all(TempPaths().folder, ignored);
}

void IgnoreNotice(void *, char const *, char const *) {}

void Check(bool condition, char const *what) {
    if (condition)
        return;
    std::fprintf(stderr, "guarantee broken: %s\n", what);
    RemoveTempFolder(); // abort skips the atexit handler
    std::abort();
}

bool IsIdentifierCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string Prefix(std::string const &path, std::size_t length) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(length, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Paths &paths = TempPaths();
    paths.folder =
        (fs::temp_directory_path() / ("ril4410_fuzz_bin_to_text_" + std::to_string(getpid())))
            .string();
    fs::create_directories(paths.folder);
    paths.bin = paths.folder + "/in.bin";
    paths.textA = paths.folder + "/mbcs.txt";
    paths.textW = paths.folder + "/wcs.txt";
    paths.headerA = paths.folder + "/mbcs.h";
    paths.headerW = paths.folder + "/wcs.h";
    Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
    std::atexit(RemoveTempFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    Paths const &paths = TempPaths();
    std::FILE *file = std::fopen(paths.bin.c_str(), "wb");
    Check(file != nullptr, "cannot create the input file");
    Check(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write the input file");
    Check(std::fclose(file) == 0, "cannot close the input file");

    ril::items::CRilTxtLoader list;
    int loaded = LoadBin(list, paths.bin.c_str());
    Check(loaded == 0 || loaded == 1, "LoadBin must give 1 or 0");
    // A failed read keeps the items before the failing entry: write those too.
    for (std::string const *path : {&paths.textA, &paths.textW, &paths.headerA, &paths.headerW})
        std::remove(path->c_str());
    // A text file may refuse items its format cannot hold, and a header macros that make no
    // identifier; a refusal leaves no file behind.
    bool identifiers = true;
    for (auto const &item : list.List()) {
        char const *macro = item->Macro();
        for (std::size_t i = 0; macro[i] != '\0'; ++i)
            identifiers = identifiers && IsIdentifierCharacter(macro[i]);
    }
    bool const wroteTextA = SaveTxt(list, paths.textA.c_str(), 0) == 1;
    bool const wroteTextW = SaveTxt(list, paths.textW.c_str(), 1) == 1;
    // The header reads the BIN itself: a BIN whose every entry reads gets its header unless a
    // macro is refused; one with a bad entry gets none.
    bool const wroteHeaderA =
        ril::tools::WriteHeader(paths.bin.c_str(), paths.headerA.c_str(), 0) == ril::core::kSOk;
    bool const wroteHeaderW =
        ril::tools::WriteHeader(paths.bin.c_str(), paths.headerW.c_str(), 1) == ril::core::kSOk;
    if (loaded == 1) {
        Check(wroteHeaderA == identifiers,
              "WriteHeader (MBCS) must succeed unless a macro is refused");
        Check(wroteHeaderW == identifiers,
              "WriteHeader (WCS) must succeed unless a macro is refused");
    }

    Check(wroteTextA == (Prefix(paths.textA, 17) == "//Ril4410 Strings"),
          "the MBCS text file must start with its banner, or not exist");
    Check(wroteTextW == (Prefix(paths.textW, 4) == std::string("\xFF\xFE/\0", 4)),
          "the WCS text file must start with FF FE, or not exist");
    Check(wroteHeaderA == (Prefix(paths.headerA, 10) == "#ifndef __"),
          "the header must start with its guard, or not exist");
    Check(wroteHeaderW == (Prefix(paths.headerW, 10) == "#ifndef __"),
          "the header must start with its guard, or not exist");
    // The files written and the input, and no temporary file beside them.
    std::size_t files = static_cast<std::size_t>(
        std::distance(fs::directory_iterator(paths.folder), fs::directory_iterator{}));
    Check(files == 1u + wroteTextA + wroteTextW + wroteHeaderA + wroteHeaderW,
          "a refused file exists or a temporary file was left behind");
    return 0;
}
