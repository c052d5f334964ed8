// Shared helpers for the tests.
#include "support/test_support.h"

#include "items/ril_txt_loader.h"
#include "platform/fault.h"
#include "platform/user.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <stdexcept>

using namespace ril::core;
using namespace ril::items;

namespace ril::test {

TempDir::TempDir() {
    static std::atomic<unsigned> serial{0};
    path_ =
        std::filesystem::temp_directory_path() /
        ("ril4410-test-" + std::to_string(std::random_device()()) + "-" + std::to_string(serial++));
    if (!std::filesystem::create_directory(path_))
        throw std::runtime_error("cannot create " + path_.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> NoticeCapture::Messages() const {
    std::vector<std::string> messages;
    for (Notice const &notice : notices_)
        messages.push_back(notice.message);
    return messages;
}

void NoticeCapture::Handler(void *context, char const *caption, char const *message) {
    static_cast<NoticeCapture *>(context)->notices_.push_back(
        Notice{caption != nullptr ? caption : "", message != nullptr ? message : ""});
}

std::string FormatAgain(RIL_NOTICE const *notice, int language) {
    int const length = Ril_FormatNotice(notice, language, nullptr, 0);
    if (length < 0)
        return "<refused>";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    Ril_FormatNotice(notice, language, text.data(), static_cast<RIL_ULONG>(text.size()));
    text.pop_back();
    return text;
}

NoticeParts::NoticeParts(RIL_NOTICE const *n)
    : id(n->messageId), file(n->file != nullptr ? n->file : ""),
      reason(n->systemReason != nullptr ? n->systemReason : ""), text(n->text),
      chinese(FormatAgain(n, RIL_MESSAGES_CHINESE)), english(FormatAgain(n, RIL_MESSAGES_ENGLISH)),
      severity(n->severity), systemError(n->systemError), logged(n->logged), line(n->line),
      column(n->column), firstLine(n->firstLine), offset(n->offset), firstOffset(n->firstOffset) {
    for (unsigned i = 0; i < n->argCount; ++i)
        args.push_back(n->args[i].isText ? n->args[i].text : std::to_string(n->args[i].number));
}

void LibraryTest::Reset(unsigned codePage) {
    platform::DisarmAllFaults();
    Ril_RTEditCloseModule();
    Ril_UnloadRes();
    Ril_SetAnsiCodePage(codePage);
    Ril_SetNoticeHandlerEx(nullptr, nullptr);
    Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE);
    Ril_SetHolderText(nullptr);
    Ril_SetStampTime(RIL_STAMP_DEFAULT);
    Ril_SetWriteOptions(RIL_WRITE_ALWAYS);
}

std::string LibraryTest::Put(std::string const &name, Bytes const &bytes) const {
    std::string path = dir.File(name);
    WriteFile(path, bytes);
    return path;
}

std::size_t LibraryTest::FilesInDir() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

void LibraryTest::ExpectNotice(std::string const &message) {
    ASSERT_EQ(notices.Notices().size(), message.empty() ? 0u : 1u);
    if (!message.empty()) {
        EXPECT_EQ(notices.Notices()[0].caption, "Error:");
        EXPECT_EQ(notices.Notices()[0].message, message);
    }
    notices.Clear();
}

Bytes SavedBody(std::string const &path) {
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

void WriteFile(std::string const &path, Bytes const &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<char const *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void WriteFile(std::string const &path, std::string const &text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFile(std::string const &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(std::string const &path) {
    Bytes bytes = FileExists(path) ? ReadFile(path) : Bytes();
    return std::string(bytes.begin(), bytes.end());
}

// Through the C runtime, as the library opens files: on Windows the name's bytes are then
// read in the ANSI code page, like the library's.
bool FileExists(std::string const &path) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::filesystem::is_directory(path);
    std::fclose(file);
    return true;
}

Bytes RecordA(std::string const &macro, std::string const &text) {
    const std::uint16_t size = static_cast<std::uint16_t>(macro.size() + 1);
    return BinBuilder().U16(size).Raw(macro).U8(0).Raw(text).U8(0).Get();
}

Bytes RecordW(std::string const &macro, std::u16string const &text) {
    BinBuilder record;
    record.U16(static_cast<std::uint16_t>(macro.size() + 1)).Raw(macro).U8(0);
    for (char16_t unit : text)
        record.U16(unit);
    return record.U16(0).Get();
}

void AddItem(CRilTxtLoader &list, std::uint32_t id, std::string const &macro, char const *text) {
    auto item = std::make_unique<RilStrRes>();
    item->ID = id;
    if (item->SetMacro(macro.data(), macro.size()) != kSOk ||
        (text != nullptr && item->SetTextA(text, std::strlen(text)) != kSOk))
        throw std::runtime_error("cannot store a test text");
    list.Append(std::move(item));
}

std::vector<ItemRow> ItemRows(CRilTxtLoader const &list) {
    std::vector<ItemRow> rows;
    for (auto const &item : list.List())
        rows.emplace_back(item->ID, item->Macro(),
                          item->Record
                              ? Bytes(item->Record.get(), item->Record.get() + item->RecordSize)
                              : Bytes());
    return rows;
}

namespace {
std::string Format(char const *format, va_list args) {
    char line[2048];
    std::vsnprintf(line, sizeof line, format, args);
    return line;
}
} // namespace

std::string Utf16(std::u16string const &text, bool mark) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char16_t const unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

std::string Printf(char const *format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = Format(format, args);
    va_end(args);
    return line;
}

std::string LogLine(char const *format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = Format(format, args) + "\r\n";
    va_end(args);
    return line;
}

std::string Gbk(std::string const &utf8) {
    std::vector<RIL_WCHAR> wide(
        static_cast<std::size_t>(Ril_MbcsToWcs(utf8.c_str(), nullptr, 65001)) + 1);
    Ril_MbcsToWcs(utf8.c_str(), wide.data(), 65001);
    std::string out(static_cast<std::size_t>(Ril_WcsToMbcs(wide.data(), nullptr, 936)), '\0');
    Ril_WcsToMbcs(wide.data(), out.data(), 936);
    out.pop_back();
    return out;
}

std::u16string Wide(const RIL_WCHAR *text) {
    std::u16string result;
    for (; text != nullptr && *text != 0; ++text)
        result.push_back(static_cast<char16_t>(*text));
    return result;
}

} // namespace ril::test
