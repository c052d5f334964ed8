// libFuzzer target: reads the holder marker of the input as a file with the size-query
// protocol, then appends a marker and reads it back.
#include "Ril4410.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string &TempPath() {
    static std::string path;
    return path;
}

void Check(bool condition, char const *what) {
    if (condition)
        return;
    std::fprintf(stderr, "guarantee broken: %s\n", what);
    std::remove(TempPath().c_str());
    std::abort();
}

void WriteInput(std::uint8_t const *data, std::size_t size) {
    std::FILE *file = std::fopen(TempPath().c_str(), "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// The size query, then a read into exactly that many bytes; returns the text.
std::string ReadHolder(RIL_ULONG &held) {
    RIL_ULONG size = 0xA5A5A5A5u;
    held = 0xA5A5A5A5u;
    Check(Ril_RTEditGetHolderInfo(TempPath().c_str(), nullptr, &size, &held) == 0, "size query");
    if (size == 0xA5A5A5A5u) // holder flag 0: size untouched
        return std::string();
    Check(size <= 65536, "a marker holds at most 65535 bytes");
    std::vector<char> buffer(size + 1, '\x5A');
    RIL_ULONG given = size;
    if (size > 0) {
        RIL_ULONG small = size - 1;
        Check(Ril_RTEditGetHolderInfo(TempPath().c_str(), buffer.data(), &small, nullptr) == -110 &&
                  small == size,
              "a short buffer is refused with the size needed");
    }
    Check(Ril_RTEditGetHolderInfo(TempPath().c_str(), buffer.data(), &given, nullptr) == 0, "read");
    Check(buffer[size] == '\x5A', "nothing written past the size");
    if (size == 0)
        return std::string();
    Check(std::strlen(buffer.data()) == size - 1, "the text and its terminator fill the size");
    return std::string(buffer.data());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    TempPath() = (std::filesystem::temp_directory_path() /
                  ("ril4410_fuzz_holder_" + std::to_string(getpid()) + ".bin"))
                     .string();
    std::atexit([] { std::remove(TempPath().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    WriteInput(data, size);
    RIL_ULONG held = 0;
    ReadHolder(held);
    // A new marker is always the one read back, whatever the file held before.
    std::string text(reinterpret_cast<char const *>(data), size < 40 ? size : 40);
    text = text.substr(0, text.find('\0'));
    Check(Ril_RTEditForceWriteHolderInfo(TempPath().c_str(), text.c_str()) == 0, "append");
    std::string back = ReadHolder(held);
    if (held == 1)
        Check(back == text, "the appended marker reads back");
    return 0;
}
