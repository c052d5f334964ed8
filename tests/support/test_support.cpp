// Shared helpers for the tests.
#include "support/test_support.h"

#include "platform/codepage.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace ril::test {

TempDir::TempDir() {
    static std::atomic<unsigned> serial{0};
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto name = "ril4410-test-" + std::to_string(seed()) + "-" + std::to_string(serial++);
        auto candidate = std::filesystem::temp_directory_path() / name;
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

NoticeCapture::NoticeCapture() {
    Ril_SetNoticeHandler(&NoticeCapture::Handler, this);
}

NoticeCapture::~NoticeCapture() {
    Ril_SetNoticeHandler(nullptr, nullptr);
}

void NoticeCapture::Handler(void *context, const char *caption, const char *message) {
    static_cast<NoticeCapture *>(context)->notices_.push_back(
        Notice{caption != nullptr ? caption : "", message != nullptr ? message : ""});
}

void WriteFile(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string &path, const std::string &text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Through the C runtime, as the library opens files: on Windows the name's bytes are then
// read in the ANSI code page, like the library's.
bool FileExists(const std::string &path) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::filesystem::is_directory(path);
    std::fclose(file);
    return true;
}

bool RunningUnderWine() {
#if defined(_WIN32)
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

BinBuilder &BinBuilder::U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

BinBuilder &BinBuilder::U16(std::uint16_t v) {
    return U8(v & 0xFF).U8(v >> 8);
}

BinBuilder &BinBuilder::U32(std::uint32_t v) {
    return U16(v & 0xFFFF).U16(v >> 16);
}

BinBuilder &BinBuilder::Raw(const Bytes &bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

BinBuilder &BinBuilder::Raw(const std::string &bytes) {
    return Raw(Bytes(bytes.begin(), bytes.end()));
}

BinBuilder &BinBuilder::Header(std::uint32_t flag, std::uint32_t maxId, std::uint32_t count) {
    return U32(flag).U32(maxId).U32(count);
}

BinBuilder &BinBuilder::Entry(std::uint32_t id, const Bytes &record) {
    return U32(id).U32(static_cast<std::uint32_t>(record.size())).Raw(record);
}

BinBuilder &BinBuilder::EntryA(std::uint32_t id, const std::string &macro,
                               const std::string &text) {
    return Entry(id, RecordA(macro, text));
}

BinBuilder &BinBuilder::EntryW(std::uint32_t id, const std::string &macro,
                               const std::u16string &text) {
    return Entry(id, RecordW(macro, text));
}

BinBuilder &BinBuilder::Trailer(const std::string &holder) {
    return Raw(holder).U16(static_cast<std::uint16_t>(holder.size())).U8(0);
}

Bytes RecordA(const std::string &macro, const std::string &text) {
    Bytes record;
    auto m = static_cast<std::uint16_t>(macro.size() + 1);
    record.push_back(m & 0xFF);
    record.push_back(m >> 8);
    record.insert(record.end(), macro.begin(), macro.end());
    record.push_back(0);
    record.insert(record.end(), text.begin(), text.end());
    record.push_back(0);
    return record;
}

Bytes RecordW(const std::string &macro, const std::u16string &text) {
    Bytes record = RecordA(macro, "");
    record.pop_back();
    for (char16_t unit : text) {
        record.push_back(unit & 0xFF);
        record.push_back(unit >> 8);
    }
    record.push_back(0);
    record.push_back(0);
    return record;
}

namespace {
std::string Recode(const std::string &text, unsigned from, unsigned to) {
    int units = Ril_MbcsToWcs(text.c_str(), nullptr, from);
    if (units == 0)
        throw std::runtime_error("cannot convert test text");
    std::vector<RIL_WCHAR> wide(static_cast<std::size_t>(units));
    Ril_MbcsToWcs(text.c_str(), wide.data(), from);
    int bytes = Ril_WcsToMbcs(wide.data(), nullptr, to);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    Ril_WcsToMbcs(wide.data(), out.data(), to);
    out.pop_back();
    return out;
}
} // namespace

namespace {
std::string VPrintf(const char *format, va_list args) {
    char line[2048];
    std::vsnprintf(line, sizeof line, format, args);
    return line;
}
} // namespace

std::string Printf(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VPrintf(format, args);
    va_end(args);
    return text;
}

std::string LogLine(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VPrintf(format, args);
    va_end(args);
    return text + "\r\n";
}

std::string Gbk(const std::string &utf8) {
    return Recode(utf8, 65001, 936);
}

std::string Utf8FromGbk(const std::string &gbk) {
    return Recode(gbk, 936, 65001);
}

std::vector<std::string> DoubleByteCharacters(unsigned codePage) {
    // The platform's conversions directly: one call each way instead of four (a size query
    // and a conversion) through the exported functions; a Wine run feels the difference.
    std::vector<std::string> characters;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0x01; trail <= 0xFF; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::uint16_t unit[2] = {};
            char back[4] = {};
            if (platform::MultiByteToWide(codePage, pair, 2, unit, 2).count == 1 &&
                unit[0] != 0xFFFD &&
                platform::WideToMultiByte(codePage, unit, 1, back, 4).count == 2 &&
                back[0] == pair[0] && back[1] == pair[1])
                characters.emplace_back(pair, 2);
        }
    }
    return characters;
}

std::u16string Wide(const RIL_WCHAR *text) {
    std::u16string result;
    if (text == nullptr)
        return result;
    for (; *text != 0; ++text)
        result.push_back(static_cast<char16_t>(*text));
    return result;
}

} // namespace ril::test
