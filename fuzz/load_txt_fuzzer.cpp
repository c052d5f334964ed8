// libFuzzer target: parses the input as a text resource file (the first byte picks the
// flavour the caller asks for), validates the items, and checks what validation promises.
#include "Ril4410.h"
#include "items/ril_txt_loader.h"
#include "text/txt_parser.h"
#include "tools/validation.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

using namespace ril::text;
using namespace ril::tools;

namespace {

std::string &TempPath() {
    static std::string path;
    return path;
}

void IgnoreNotice(void *, char const *, char const *) {}

void Check(bool condition, char const *what) {
    if (condition)
        return;
    std::fprintf(stderr, "guarantee broken: %s\n", what);
    std::remove(TempPath().c_str());
    std::abort();
}

// Every item's record holds its macro with the terminator, and the macro keeps to 127 bytes.
void CheckItems(ril::items::CRilTxtLoader const &list) {
    for (auto const &item : list.List()) {
        Check(std::strlen(item->Macro()) <= 127, "macro beyond 127 bytes");
        Check(item->Record != nullptr && item->RecordSize >= 3, "item without a record");
        std::size_t m = item->Record[0] | item->Record[1] << 8;
        Check(m == std::strlen(item->Macro()) + 1 && m <= 128, "record macro length");
        Check(std::memcmp(item->Record.get() + 2, item->Macro(), m) == 0, "record macro bytes");
    }
}

// After a successful validation of two or more items: sorted by signed ID, no repeats.
void CheckValidated(ril::items::CRilTxtLoader const &list) {
    std::set<std::uint32_t> ids;
    std::set<std::string> macros;
    std::int32_t previous = INT32_MIN;
    for (auto const &item : list.List()) {
        Check(static_cast<std::int32_t>(item->ID) >= previous, "list not sorted by ID");
        previous = static_cast<std::int32_t>(item->ID);
        Check(ids.insert(item->ID).second, "repeated ID survived validation");
        Check(macros.insert(item->Macro()).second, "repeated macro survived validation");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    TempPath() = (std::filesystem::temp_directory_path() /
                  ("ril4410_fuzz_load_txt_" + std::to_string(getpid()) + ".txt"))
                     .string();
    Ril_SetNoticeHandler(&IgnoreNotice, nullptr);
    std::atexit([] { std::remove(TempPath().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    if (size == 0)
        return 0;
    int wide = data[0] & 1;
    std::FILE *file = std::fopen(TempPath().c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    ril::items::CRilTxtLoader list;
    int loaded = LoadTxt(list, TempPath().c_str(), wide, nullptr);
    CheckItems(list);
    if (loaded == 0)
        return 0;
    std::size_t before = list.Count();
    bool valid = Validate(list, nullptr);
    CheckItems(list);
    Check(list.Count() <= before, "validation added items");
    if (valid && before >= 2)
        CheckValidated(list);
    return 0;
}
