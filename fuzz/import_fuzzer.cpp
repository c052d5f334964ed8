// libFuzzer target: imports the input as a text resource file (the first byte picks the
// flavour) into a BIN with a log, then loads the BIN and reads every item back.
#include "Ril4410.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Paths {
    std::string text, bin, log;
};

Paths &TempPaths() {
    static Paths paths;
    return paths;
}

void RemoveTempFiles() {
    for (std::string const *path : {&TempPaths().text, &TempPaths().bin, &TempPaths().log})
        std::remove(path->c_str());
}

void IgnoreNotice(void *, char const *, char const *) {}

void Check(bool condition, char const *what) {
    if (condition)
        return;
    std::fprintf(stderr, "guarantee broken: %s\n", what);
    RemoveTempFiles();
    std::abort();
}

std::string ReadAll(std::string const &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    std::string base = (std::filesystem::temp_directory_path() /
                        ("ril4410_fuzz_import_" + std::to_string(getpid())))
                           .string();
    TempPaths() = Paths{base + ".txt", base + ".bin", base + ".log"};
    Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
    std::atexit(RemoveTempFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    if (size == 0)
        return 0;
    Paths const &paths = TempPaths();
    std::remove(paths.bin.c_str());
    std::FILE *file = std::fopen(paths.text.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    int wide = data[0] & 1;
    RIL_LONG result =
        Ril_ImportResFromTxtToBin(paths.text.c_str(), wide, paths.bin.c_str(), paths.log.c_str());
    Check(result == 0 || result == -200, "import must succeed or fail in parsing/validation");
    Check(Ril_GetLastError() == result, "the last error must be the result");
    std::string log = ReadAll(paths.log);
    Check(log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0, "log must end a line");
    if (result != 0) {
        Check(!std::filesystem::exists(paths.bin), "a failed import must not write the BIN");
        return 0;
    }
    Check(Ril_LoadRes(paths.bin.c_str()) == 0, "an imported BIN must load");
    // Every item of the BIN reads back in its flavour without leaving its record.
    for (RIL_ULONG id = 0; id < 4096; ++id) {
        if (Ril_GetData(id) == nullptr)
            continue;
        RIL_ULONG length = 0;
        Check(Ril_GetMacro(nullptr, length, id) == 1 && length >= 2 && length <= 128,
              "imported macro length");
        if (wide != 0)
            Ril_GetStringW(id);
        else
            Ril_GetStringA(id);
    }
    Ril_UnloadRes();
    return 0;
}
