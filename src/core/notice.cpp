// Rendering notices from their parts and delivering them: to the log, to the parts handler,
// or as the "Error:" notice.
#include "core/notice.h"

#include "core/error_report.h"
#include "platform/file.h"
#include "platform/notice.h"
#include "platform/system_error.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace ril::core {
namespace {

// Where notices go and the language they are rendered in: the library's one place of notice
// settings.
struct Sink {
    PlainNoticeHandler plain = nullptr;
    void *plainContext = nullptr;
    NoticeHandler handler = nullptr;
    void *context = nullptr;
    NoticeLanguage language = NoticeLanguage::Chinese;
    bool partsInformations = true; // the informations for the structured handler alone
};

Sink &CurrentSink() {
    static Sink sink;
    return sink;
}

// How many NoticeMute objects live (the library is used from one thread).
int &MuteDepth() {
    static int depth = 0;
    return depth;
}

// The innermost NoticeHold that lives, or null.
NoticeHold *&CurrentHold() {
    static NoticeHold *hold = nullptr;
    return hold;
}

void AppendNumber(std::string &out, char conversion, long long value) {
    char digits[16];
    auto const bits = static_cast<std::uint32_t>(value);
    if (conversion == 'd')
        std::snprintf(digits, sizeof digits, "%d",
                      static_cast<int>(static_cast<std::int32_t>(bits)));
    else
        std::snprintf(digits, sizeof digits, conversion == 'x' ? "%x" : "%u",
                      static_cast<unsigned>(bits));
    out += digits;
}

// The line and CR LF as one append, so that a line is in the log whole or not at all.
platform::AppendStatus AppendLine(char const *logPath, std::string const &message, int &error) {
    const std::string line = message + "\r\n";
    return platform::AppendToFile(logPath, line.data(), line.size(),
                                  platform::AppendMode::CreateIfMissing, &error);
}

// Hands the notice to the structured handler, or shows one that is not logged.
void Deliver(msg::Message const &message, NoticeSite const &site, NoticeArg const *args,
             std::size_t count, std::string const &gbk, bool logged) {
    Sink const &sink = CurrentSink();
    if (logged && sink.handler == nullptr)
        return;
    const std::string text = sink.language == NoticeLanguage::Chinese
                                 ? gbk
                                 : RenderMessage(message, sink.language, args, count);
    if (sink.handler == nullptr) {
        if (sink.plain != nullptr)
            sink.plain(sink.plainContext, kErrorCaption, text.c_str());
        else
            platform::ShowDefaultNotice(kErrorCaption, text.c_str());
        return;
    }
    const std::string reason = platform::SystemErrorText(site.systemError);
    Notice notice;
    notice.message = &message;
    notice.site = site;
    notice.severity = site.severity >= 0 ? site.severity : static_cast<int>(message.severity);
    notice.systemReason = reason.empty() ? nullptr : reason.c_str();
    notice.logged = logged;
    notice.args = args;
    notice.argCount = count;
    notice.text = text.c_str();
    if (site.places != nullptr && site.offset >= 0)
        notice.place = site.places->At(site.offset);
    if (site.places != nullptr && site.firstOffset >= 0)
        notice.firstPlace = site.places->At(site.firstOffset);
    sink.handler(sink.context, notice);
}

} // namespace

std::string RenderFormat(char const *format, NoticeArg const *args, std::size_t count) {
    std::string out;
    std::size_t next = 0;
    for (char const *at = format; *at != '\0' && out.size() < kMessageSize; ++at) {
        char const conversion = at[1];
        if (*at != '%' || std::strchr("sudx%", conversion) == nullptr || conversion == '\0') {
            out += *at;
            continue;
        }
        ++at;
        if (conversion == '%') {
            out += '%';
            continue;
        }
        if (next >= count)
            continue;
        NoticeArg const &arg = args[next++];
        if (conversion != 's')
            AppendNumber(out, conversion, arg.number);
        else if (arg.isText)
            out += arg.text != nullptr ? arg.text : "";
        else
            AppendNumber(out, 'd', arg.number);
    }
    if (out.size() > kMessageSize - 1)
        out.resize(kMessageSize - 1);
    return out;
}

std::size_t ArgumentCount(char const *format) {
    std::size_t count = 0;
    for (char const *at = format; *at != '\0'; ++at) {
        if (*at != '%' || at[1] == '\0' || std::strchr("sudx%", at[1]) == nullptr)
            continue;
        if (*++at != '%')
            ++count;
    }
    return count;
}

void SetPlainNoticeHandler(PlainNoticeHandler handler, void *context) {
    Sink &sink = CurrentSink();
    sink.plain = handler;
    sink.plainContext = handler != nullptr ? context : nullptr;
}

void SetNoticeHandler(NoticeHandler handler, void *context) {
    Sink &sink = CurrentSink();
    sink.handler = handler;
    sink.context = handler != nullptr ? context : nullptr;
}

bool HasNoticeHandler() {
    return CurrentSink().handler != nullptr;
}

bool SetPartsInformations(bool wanted) {
    return std::exchange(CurrentSink().partsInformations, wanted);
}

NoticeLanguage CurrentNoticeLanguage() {
    return CurrentSink().language;
}

void SetNoticeLanguage(NoticeLanguage language) {
    CurrentSink().language = language;
}

std::string RenderMessage(msg::Message const &message, NoticeLanguage language,
                          NoticeArg const *args, std::size_t count) {
    bool const english = language == NoticeLanguage::English && message.english;
    return RenderFormat(english ? message.english : message.gbk, args, count);
}

NoticeMute::NoticeMute() {
    ++MuteDepth();
}

NoticeMute::~NoticeMute() {
    --MuteDepth();
}

struct NoticeHold::Held {
    msg::Message const *message;
    NoticeSite site;
    std::string file;
    std::optional<std::string> logPath;
    std::vector<NoticeArg> args;
    std::vector<std::string> texts; // the text arguments' copies, in order
    bool partsOnly;                 // for the parts handler alone (InformPartsHandler)
};

NoticeHold::NoticeHold() : outer_(CurrentHold()) {
    CurrentHold() = this;
}

NoticeHold::~NoticeHold() {
    Stop();
}

void NoticeHold::Keep(msg::Message const &message, NoticeSite const &site, char const *logPath,
                      NoticeArg const *args, std::size_t count, bool partsOnly) {
    Held held{&message,
              site,
              site.file != nullptr ? site.file : "",
              std::nullopt,
              std::vector<NoticeArg>(args, args + count),
              {},
              partsOnly};
    if (logPath != nullptr)
        held.logPath = logPath;
    for (std::size_t i = 0; i < count; ++i)
        if (args[i].isText && args[i].text != nullptr)
            held.texts.emplace_back(args[i].text);
    held_.push_back(std::move(held));
}

void NoticeHold::Stop() {
    if (CurrentHold() == this)
        CurrentHold() = outer_;
}

void NoticeHold::Release(PlaceFinder const *places) {
    Stop();
    std::vector<Held> held = std::move(held_);
    held_.clear();
    for (Held &notice : held) {
        std::size_t text = 0;
        for (NoticeArg &arg : notice.args)
            if (arg.isText && arg.text != nullptr)
                arg.text = notice.texts[text++].c_str();
        notice.site.file = notice.site.file != nullptr ? notice.file.c_str() : nullptr;
        notice.site.places = notice.site.places != nullptr ? places : nullptr;
        RaiseNotice(*notice.message, notice.site,
                    notice.logPath ? notice.logPath->c_str() : nullptr, notice.args.data(),
                    notice.args.size());
    }
}

void InformPartsHandler(msg::Message const &message, NoticeSite const &site, NoticeArg const *args,
                        std::size_t count) {
    if (!CurrentSink().partsInformations)
        return;
    if (NoticeHold *hold = CurrentHold(); hold != nullptr && MuteDepth() == 0)
        hold->Keep(message, site, nullptr, args, count, true);
    else if (HasNoticeHandler() && MuteDepth() == 0)
        Deliver(message, site, args, count, RenderFormat(message.gbk, args, count), false);
}

void RaiseNotice(msg::Message const &message, NoticeSite const &site, char const *logPath,
                 NoticeArg const *args, std::size_t count) {
    if (MuteDepth() > 0)
        return;
    if (NoticeHold *hold = CurrentHold()) {
        hold->Keep(message, site, logPath, args, count, false);
        return;
    }
    const std::string gbk = RenderFormat(message.gbk, args, count);
    if (logPath != nullptr) {
        int error = 0;
        switch (AppendLine(logPath, gbk, error)) {
        case platform::AppendStatus::Ok:
            // The log's own lines are no notices of their own once they are in it.
            if (&message != &catalogue::kLogEntry)
                Deliver(message, site, args, count, gbk, true);
            return;
        case platform::AppendStatus::WriteFailed: {
            // The log was there but did not take the line: say so, then show the line itself.
            const NoticeArg log = MakeNoticeArg(logPath);
            RaiseNotice(catalogue::kCannotWriteLog,
                        NoticeSite{.file = logPath, .systemError = error}, nullptr, &log, 1);
            break;
        }
        case platform::AppendStatus::CannotOpen:
            break;
        }
    }
    Deliver(message, site, args, count, gbk, false);
}

} // namespace ril::core
