// Printing of the tool's failures and of the library's notices on standard error.
#include "diagnostics.h"

#include "text_output.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace rilcli {
namespace {

// The library's own messages are GBK whatever the ANSI code page is.
constexpr unsigned kMessageCodePage = 936;

// The message in UTF-8, or its bytes unchanged when they cannot be converted.
std::string MessageToUtf8(std::string const &raw) {
    int const size = Ril_MbcsToWcs(raw.c_str(), nullptr, kMessageCodePage);
    if (size <= 0)
        return raw;
    std::vector<RIL_WCHAR> units(static_cast<std::size_t>(size));
    if (Ril_MbcsToWcs(raw.c_str(), units.data(), kMessageCodePage) <= 0)
        return raw;
    return Utf16ToUtf8(std::u16string(units.begin(), units.end() - 1));
}

// Library notices arrive through C code: nothing may escape from here.
void PrintNotice(void * /*context*/, char const * /*caption*/, char const *message) noexcept {
    std::string const raw = message != nullptr ? message : "";
    try {
        std::string const text = MessageToUtf8(raw);
        std::fprintf(stderr, "Error: %s\n", text.c_str());
    } catch (...) {
        std::fprintf(stderr, "Error: %s\n", raw.c_str());
    }
    std::fflush(stderr);
}

} // namespace

std::string FormatLibraryCode(RIL_LONG code) {
    // HRESULTs have the severity bit set and a facility; the library's own codes are small.
    if (code <= -0x10000) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(code));
        return buffer;
    }
    return std::to_string(code);
}

int ReportFailure(Failure const &failure) {
    std::string line = "ril4410: ";
    line += failure.what();
    if (failure.Code())
        line += " (" + FormatLibraryCode(*failure.Code()) + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
    return kExitFailure;
}

int ReportUsageError(UsageError const &error) {
    std::fprintf(stderr, "ril4410: %s\nTry 'ril4410 --help'.\n", error.what());
    return kExitUsage;
}

void InstallNoticeHandler() {
    Ril_SetNoticeHandler(&PrintNotice, nullptr);
}

NoticeWatch::NoticeWatch(std::string message) : message_(std::move(message)) {
    Ril_SetNoticeHandler(&Handle, this);
}

NoticeWatch::~NoticeWatch() {
    InstallNoticeHandler();
}

void NoticeWatch::Handle(void *context, char const *caption, char const *message) noexcept {
    PrintNotice(nullptr, caption, message);
    auto *watch = static_cast<NoticeWatch *>(context);
    if (message != nullptr && watch->message_ == message)
        watch->seen_ = true;
}

} // namespace rilcli
