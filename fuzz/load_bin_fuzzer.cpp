// libFuzzer target: loads the input as a BIN with Ril_LoadRes, runs every lookup getter over
// the IDs that the input's entries name and over boundary IDs, then unloads and reloads; then
// the same from the input's bytes in memory with Ril_LoadResFromMemory; and the input opened
// as table handles, from the file and from memory, probed over the same IDs. Each input is
// also inspected (Ril_InspectBin, Ril_InspectBinImage): the two agree, and a BIN they pass
// loads with a splittable record for every ID they name.
#include "Ril4410.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr RIL_LONG kSOk = 0;
constexpr RIL_LONG kSFalse = 1;
constexpr RIL_LONG kEFail = static_cast<RIL_LONG>(0x80004005u);

// At most this many entries of the input are parsed for IDs to look up.
constexpr std::uint32_t kMaxParsedEntries = 256;

std::string &TempPath() {
    static std::string path;
    return path;
}

void RemoveTempFile() {
    std::remove(TempPath().c_str());
}

void IgnoreNotice(void *, char const *, char const *) {}

// Stops the run with a message when the library breaks one of its stated guarantees;
// libFuzzer then saves the input as a crash.
void Check(bool condition, char const *what, std::uint32_t id) {
    if (condition)
        return;
    std::fprintf(stderr, "guarantee broken for ID %u: %s\n", id, what);
    RemoveTempFile(); // abort skips the atexit handler
    std::abort();
}

std::uint32_t U32At(std::uint8_t const *p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// The header fields of the input; a field the input is too short for keeps the preset that
// the loader uses (flag 1, max ID and count 0).
struct Header {
    std::uint32_t flag = 1;
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;
    bool hasCount = false;
};

Header ParseHeader(std::uint8_t const *data, std::size_t size) {
    Header header;
    if (size >= 4)
        header.flag = U32At(data);
    if (size >= 8)
        header.maxId = U32At(data + 4);
    if (size >= 12) {
        header.count = U32At(data + 8);
        header.hasCount = true;
    }
    return header;
}

// The IDs named by the first entries of the input plus the boundary IDs of its table.
std::vector<std::uint32_t> IdsToProbe(std::uint8_t const *data, std::size_t size,
                                      Header const &header) {
    std::vector<std::uint32_t> ids = {0, header.maxId, header.maxId + 9u, header.maxId + 10u,
                                      0xFFFFFFFFu};
    std::size_t pos = 12;
    for (std::uint32_t i = 0; i < header.count && i < kMaxParsedEntries; ++i) {
        if (size < 8 || pos > size - 8)
            break;
        ids.push_back(U32At(data + pos));
        std::uint64_t next = std::uint64_t{pos} + 8 + U32At(data + pos + 4);
        if (next > size)
            break;
        pos = static_cast<std::size_t>(next);
    }
    return ids;
}

// Reads the record's bytes that can hold file data, and its last byte. A record cut short
// by the end of the file is completed with up to 1 MiB of zeros, which need no reading.
void ReadRecord(std::uint8_t const *record, RIL_ULONG size, std::size_t inputSize) {
    unsigned sum = 0;
    for (RIL_ULONG i = 0; i < size && i < inputSize + 16; ++i)
        sum += record[i];
    if (size > 0)
        sum += record[size - 1];
    unsigned volatile sink = sum;
    (void)sink;
}

std::uint32_t ClampedMacroLength(std::uint8_t const *record, RIL_ULONG size) {
    if (size < 2)
        return 0;
    std::uint32_t m = std::uint32_t{record[0]} | std::uint32_t{record[1]} << 8;
    return m > size - 2 ? size - 2 : m;
}

// Runs every getter for `id` and checks the answers against the record that Ril_GetData
// returns. No editing session is open, so every getter reads the loaded table alone. A
// getter may move a record whose text does not end (or, for UTF-16, align) inside the
// file's bytes into a padded copy of its own, so the record is fetched again after each.
void ProbeId(std::uint32_t id, std::size_t inputSize) {
    const RIL_ULONG size = Ril_GetItemSize(id);
    auto const *record = static_cast<std::uint8_t const *>(Ril_GetData(id));
    Check((record != nullptr) == (size != 0), "Ril_GetData and Ril_GetItemSize disagree", id);
    ReadRecord(record, size, inputSize);

    char const *narrow = Ril_GetStringA(id);
    const std::size_t narrowLength = std::strlen(narrow);
    auto const *narrowRecord = static_cast<std::uint8_t const *>(Ril_GetData(id));
    const RIL_WCHAR *wide = Ril_GetStringW(id);
    // Callers index the result as an array of 16-bit units, so it must be 2-byte aligned.
    Check(reinterpret_cast<std::uintptr_t>(wide) % alignof(RIL_WCHAR) == 0,
          "Ril_GetStringW must return an aligned pointer", id);
    std::size_t wideLength = 0;
    while (wide[wideLength] != 0)
        ++wideLength;
    auto const *wideRecord = static_cast<std::uint8_t const *>(Ril_GetData(id));

    RIL_ULONG macroLength = 0xA5A5A5A5u;
    const RIL_LONG query = Ril_GetMacro(nullptr, macroLength, id);

    if (record == nullptr) {
        Check(narrowRecord == nullptr && wideRecord == nullptr, "a record appeared", id);
        Check(narrowLength == 1 && narrow[0] == ' ', "a miss must give the one-blank string", id);
        Check(wideLength == 1 && wide[0] == 0x0020, "a miss must give the one-blank wide string",
              id);
        Check(query == kEFail && macroLength == 0xA5A5A5A5u,
              "Ril_GetMacro must fail and keep the length on a miss", id);
        return;
    }
    Check(narrowRecord != nullptr && wideRecord != nullptr, "a record vanished", id);

    // The text starts behind the macro, whose length is clamped to the record, and ends at
    // the record's end at the latest (a wide unit may take the one byte behind it).
    const std::uint32_t m = ClampedMacroLength(record, size);
    auto const *narrowText = reinterpret_cast<std::uint8_t const *>(narrow);
    auto const *wideText = reinterpret_cast<std::uint8_t const *>(wide);
    Check(narrowText == narrowRecord + (size >= 2 ? 2 + m : size),
          "Ril_GetStringA must point behind the macro", id);
    Check(narrowText + narrowLength <= narrowRecord + size, "Ril_GetStringA reads past the record",
          id);
    Check(wideText == wideRecord + (size >= 2 ? 2 + m : size),
          "Ril_GetStringW must point behind the macro", id);
    Check(wideText + 2 * wideLength <= wideRecord + size + 1,
          "Ril_GetStringW reads past the record", id);

    // The size needed is the clamped macro, plus a terminator when it holds no zero byte.
    bool const ownZero = m > 0 && std::memchr(wideRecord + 2, 0, m) != nullptr;
    Check(query == kSFalse && macroLength == (ownZero ? m : m + 1),
          "the size query must give the clamped macro with its terminator", id);
    // Exactly that many bytes, and a guard byte behind them that must stay untouched.
    std::vector<char> buffer(std::size_t{macroLength} + 1, '\x5A');
    RIL_ULONG length = macroLength;
    Check(Ril_GetMacro(buffer.data(), length, id) == kSOk && length == macroLength,
          "Ril_GetMacro must fill a buffer of the queried length", id);
    Check(buffer[macroLength] == '\x5A', "Ril_GetMacro wrote past the queried length", id);
    Check(std::memchr(buffer.data(), 0, macroLength) != nullptr &&
              std::memcmp(buffer.data(), wideRecord + 2, m) == 0,
          "Ril_GetMacro must copy the macro and terminate it", id);
    RIL_ULONG shortLength = macroLength - 1;
    Check(Ril_GetMacro(buffer.data(), shortLength, id) == kEFail && shortLength == macroLength,
          "Ril_GetMacro must refuse a short buffer and give the length", id);
}

// What the header promises about the loaded table: the count as declared (0 without one).
void CheckLoaded(RIL_LONG result, Header const &header) {
    const RIL_ULONG expected = result == kSOk && header.hasCount ? header.count : 0;
    Check(result == kSOk || result == kEFail, "Ril_LoadRes must give S_OK or E_FAIL", 0);
    Check(Ril_GetNumItem() == expected, "Ril_GetNumItem must give the declared count", 0);
}

// Opens the input as a handle and probes it beside the loaded table: it opens exactly when
// the load succeeded, holds the same records, and its texts end and align as the getters'.
void ProbeHandle(RIL_TABLE *table, RIL_LONG loaded, Header const &header,
                 std::vector<std::uint32_t> const &ids) {
    Check((table != nullptr) == (loaded == kSOk), "a handle must open exactly when the load does",
          0);
    Check(Ril_TableGetNumItem(table) == (table != nullptr && header.hasCount ? header.count : 0),
          "Ril_TableGetNumItem must give the declared count", 0);
    for (std::uint32_t id : ids) {
        void const *record = Ril_TableGetData(table, id);
        Check((record != nullptr) == (Ril_GetData(id) != nullptr),
              "a handle must hold the loaded table's records", id);
        char const *narrow = Ril_TableGetStringA(table, id);
        RIL_WCHAR const *wide = Ril_TableGetStringW(table, id);
        Check((narrow != nullptr) == (record != nullptr) &&
                  (wide != nullptr) == (record != nullptr),
              "a handle's texts must exist with its records", id);
        if (record == nullptr)
            continue;
        Check(reinterpret_cast<std::uintptr_t>(wide) % alignof(RIL_WCHAR) == 0,
              "Ril_TableGetStringW must return an aligned pointer", id);
        std::size_t length = std::strlen(narrow);
        while (*wide++ != 0)
            ++length;
        unsigned volatile sink = static_cast<unsigned>(length);
        (void)sink;
    }
    Ril_CloseTable(table);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // One file per fuzzing process, rewritten for every input.
    TempPath() = (std::filesystem::temp_directory_path() /
                  ("ril4410_fuzz_load_bin_" + std::to_string(getpid()) + ".bin"))
                     .string();
    std::atexit(RemoveTempFile);
    Ril_SetNoticeHandler(IgnoreNotice, nullptr);
    return 0;
}

// Inspects the input as a file and from memory while the file's load (`loaded`) is in force.
void CheckInspection(std::uint8_t const *data, std::size_t size, RIL_LONG loaded) {
    RIL_BIN_INFO info{};
    info.structSize = sizeof info;
    RIL_LONG const result = Ril_InspectBin(TempPath().c_str(), &info, nullptr, 0);
    std::vector<RIL_ULONG> ids(result == kSFalse ? info.idCount : 0);
    RIL_BIN_INFO image{};
    image.structSize = sizeof image;
    static const std::uint8_t kEmpty = 0;
    RIL_LONG const fromImage =
        Ril_InspectBinImage(size > 0 ? data : &kEmpty, static_cast<RIL_ULONG>(size), &image,
                            ids.data(), static_cast<RIL_ULONG>(ids.size()));
    Check(fromImage == (result == kSFalse ? kSOk : result) && image.verdict == info.verdict &&
              image.idCount == info.idCount && image.flavour == info.flavour,
          "Ril_InspectBinImage must agree with Ril_InspectBin", 0);
    Check((result < 0) == (info.verdict != RIL_BIN_OK) && (result < 0) == (info.text[0] != 0),
          "a refusal must come with its reason", 0);
    if (result < 0)
        return;
    Check(loaded == kSOk, "a BIN that passes the inspection must load", 0);
    for (RIL_ULONG const id : ids) {
        RIL_RECORD_PARTS parts{};
        void const *record = Ril_GetData(id);
        Check(record != nullptr && Ril_SplitRecord(record, Ril_GetItemSize(id), 1, &parts) >= 0,
              "every ID the inspection names must have a record that splits", id);
    }
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    const Header header = ParseHeader(data, size);
    std::FILE *file = std::fopen(TempPath().c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    if (std::fclose(file) != 0)
        std::abort();

    const RIL_LONG loaded = Ril_LoadRes(TempPath().c_str());
    CheckLoaded(loaded, header);
    CheckInspection(data, size, loaded);
    for (std::uint32_t id : IdsToProbe(data, size, header))
        ProbeId(id, size);

    Ril_UnloadRes();
    Check(Ril_GetNumItem() == 0 && Ril_GetData(header.maxId) == nullptr,
          "Ril_UnloadRes must leave no table", 0);
    // The file is unchanged, so the reload ends as the load did (a failed load stores no path,
    // and an earlier successful one stored this same path).
    const RIL_LONG reloaded = Ril_ReLoadRes();
    Check(reloaded == loaded, "Ril_ReLoadRes must end as Ril_LoadRes did", 0);
    CheckLoaded(reloaded, header);
    Ril_UnloadRes();

    // The same bytes from memory end the same way, and the caller's image is never written
    // (the getters blank carriage returns in the library's copy).
    const std::vector<std::uint8_t> before(data, data + size);
    static const std::uint8_t kEmpty = 0; // an empty input may come without an address
    const RIL_LONG fromMemory =
        Ril_LoadResFromMemory(size > 0 ? data : &kEmpty, static_cast<RIL_ULONG>(size));
    Check(fromMemory == loaded, "Ril_LoadResFromMemory must end as Ril_LoadRes did", 0);
    CheckLoaded(fromMemory, header);
    for (std::uint32_t id : IdsToProbe(data, size, header))
        ProbeId(id, size);
    Check(size == 0 || std::memcmp(before.data(), data, size) == 0,
          "Ril_LoadResFromMemory must not write the caller's image", 0);
    ProbeHandle(Ril_OpenTable(TempPath().c_str()), loaded, header, IdsToProbe(data, size, header));
    ProbeHandle(Ril_OpenTableFromMemory(size > 0 ? data : &kEmpty, static_cast<RIL_ULONG>(size)),
                loaded, header, IdsToProbe(data, size, header));
    Check(size == 0 || std::memcmp(before.data(), data, size) == 0,
          "Ril_OpenTableFromMemory must not write the caller's image", 0);
    Ril_UnloadRes();
    Check(fromMemory != kSOk || Ril_ReLoadRes() == kEFail,
          "Ril_ReLoadRes must refuse after a load from memory", 0);
    Ril_UnloadRes();
    return 0;
}
