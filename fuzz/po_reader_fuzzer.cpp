// libFuzzer target: reads the input as a PO file through libgettextpo, then writes the units
// it gives as a PO file again and reads that back: the same units must come back.
#include "interchange/formats.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string const &TempPath(char const *suffix) {
    static std::string const paths[2] = {"/tmp/ril4410-fuzz-po-" + std::to_string(getpid()) + ".po",
                                         "/tmp/ril4410-fuzz-po-" + std::to_string(getpid()) +
                                             "-again.po"};
    return paths[suffix[0] == 'a' ? 1 : 0];
}

bool Same(ril::interchange::Units const &a, ril::interchange::Units const &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].macro != b[i].macro || a[i].target != b[i].target ||
            a[i].fuzzy != b[i].fuzzy)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    using namespace ril::interchange;
    std::string const &path = TempPath("input");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<char const *>(data), static_cast<std::streamsize>(size));
    Units units;
    try {
        units = ReadPo(path);
    } catch (Error const &) {
        return 0;
    }
    try {
        // Only texts a PO file can hold go out: written, they must read back the same.
        WritePo(units, FileFacts{"fuzz.bin", "", "xx", "fuzz", 0, false}, TempPath("again"));
    } catch (Error const &) {
        return 0;
    }
    Units const again = ReadPo(TempPath("again"));
    if (!Same(units, again)) {
        std::fprintf(stderr, "guarantee broken: a PO file written from units reads back others\n");
        std::abort();
    }
    return 0;
}
