// libFuzzer target: reads the input as an XLIFF document, then writes the units it gives as
// XLIFF again and reads that back: the same units must come back.
#include "interchange/formats.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    using namespace ril::interchange;
    static std::string const path = "/tmp/ril4410-fuzz-xliff-" + std::to_string(getpid()) + ".xlf";
    Units units;
    try {
        units = ReadXliffBuffer(std::string(reinterpret_cast<char const *>(data), size), "input");
        WriteXliff(units, FileFacts{"fuzz.bin", "", "xx", "fuzz", 0, false}, path);
    } catch (Error const &) {
        return 0;
    }
    Units const again = ReadXliff(path);
    bool same = again.size() == units.size();
    for (std::size_t i = 0; same && i < units.size(); ++i)
        same = again[i].id == units[i].id && again[i].macro == units[i].macro &&
               again[i].source == units[i].source && again[i].target == units[i].target;
    if (!same) {
        std::fprintf(stderr,
                     "guarantee broken: an XLIFF file written from units reads back others\n");
        std::abort();
    }
    return 0;
}
