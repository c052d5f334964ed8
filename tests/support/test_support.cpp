// Shared helpers for the tests.
#include "support/test_support.h"

#include "platform/codepage.h"
#include "platform/fault.h"
#include "platform/user.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
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

void LibraryTest::SetUp() {
    platform::DisarmAllFaults();
    Ril_RTEditCloseModule();
    Ril_UnloadRes();
    Ril_SetAnsiCodePage(0);
    Ril_SetNoticeHandlerEx(nullptr, nullptr);
    Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE);
}

std::string LibraryTest::Put(const std::string &name, const Bytes &bytes) const {
    std::string path = dir.File(name);
    WriteFile(path, bytes);
    return path;
}

std::size_t LibraryTest::FilesInDir() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

void LibraryTest::ExpectNotice(const std::string &message) {
    ASSERT_EQ(notices.Notices().size(), message.empty() ? 0u : 1u);
    if (!message.empty()) {
        EXPECT_EQ(notices.Notices()[0].caption, "Error:");
        EXPECT_EQ(notices.Notices()[0].message, message)
            << Utf8FromGbk(notices.Notices()[0].message);
    }
    notices.Clear();
}

Bytes SavedBody(const std::string &path) {
    Bytes file = ReadFile(path);
    std::size_t length = file.size() < 3 ? 0 : file[file.size() - 3] | file[file.size() - 2] << 8;
    if (file.size() < 3 || file.back() != 0 || length > file.size() - 3) {
        ADD_FAILURE() << "no holder marker in " << path;
        return file;
    }
    auto text = file.end() - 3 - static_cast<long>(length);
    const std::string holder(text, file.end() - 3);
    EXPECT_TRUE(std::regex_match(
        holder, std::regex("Holder=" + platform::CurrentUserName() +
                           "    Editor=VeruDodUzarer    StartTime=[1-9][0-9]*-[1-9][0-9]?-"
                           "[1-9][0-9]? [0-9]{1,2}:[0-9]{1,2}'[0-9]{1,2}\"")))
        << holder;
    return Bytes(file.begin(), text);
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

std::string ReadText(const std::string &path) {
    Bytes bytes = FileExists(path) ? ReadFile(path) : Bytes();
    return std::string(bytes.begin(), bytes.end());
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

Bytes RecordA(const std::string &macro, const std::string &text) {
    const std::uint16_t size = static_cast<std::uint16_t>(macro.size() + 1);
    return BinBuilder().U16(size).Raw(macro).U8(0).Raw(text).U8(0).Get();
}

Bytes RecordW(const std::string &macro, const std::u16string &text) {
    BinBuilder record;
    record.U16(static_cast<std::uint16_t>(macro.size() + 1)).Raw(macro).U8(0);
    for (char16_t unit : text)
        record.U16(unit);
    return record.U16(0).Get();
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

std::string Printf(const char *format, ...) {
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

std::string LogLine(const char *format, ...) {
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return std::string(line) + "\r\n";
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
    for (; text != nullptr && *text != 0; ++text)
        result.push_back(static_cast<char16_t>(*text));
    return result;
}

} // namespace ril::test
