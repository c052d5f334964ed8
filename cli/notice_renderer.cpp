// Rendering of the library's structured notices: texts in the chosen language with their
// arguments in UTF-8, places as lines and columns, merged illegal-character notices.
#include "notice_renderer.h"

#include "diagnostics.h"
#include "text_output.h"

#include <algorithm>

#include <cstdio>
#include <string_view>

namespace rilcli {
namespace {

constexpr std::string_view kIllegalCharacter = "illegal-macro-character";
constexpr std::string_view kLogEntry = "import-log-entry";

int LibraryLanguage(MessageLanguage language) {
    return language == MessageLanguage::kChinese ? RIL_MESSAGES_CHINESE : RIL_MESSAGES_ENGLISH;
}

// An argument for a message in `language`: paths are command-line text, others ANSI code page.
std::string ConvertArgument(std::string const &text, bool isPath, MessageLanguage language) {
    std::string const utf8 = isPath ? ArgumentToUtf8(text) : AnsiToUtf8(text);
    return language == MessageLanguage::kChinese ? Utf8ToCodePage(utf8, RIL_MESSAGES_CODE_PAGE)
                                                 : utf8;
}

// The notice's text rendered again with its text arguments converted; nothing on failure.
std::optional<std::string> Render(RIL_NOTICE const &notice, MessageLanguage language) {
    std::vector<RIL_NOTICE_ARG> args(notice.args, notice.args + notice.argCount);
    std::vector<std::string> converted(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!args[i].isText)
            continue;
        std::string const text = args[i].text != nullptr ? args[i].text : "";
        converted[i] =
            ConvertArgument(text, notice.file != nullptr && text == notice.file, language);
        args[i].text = converted[i].c_str();
    }
    RIL_NOTICE copy = notice;
    copy.args = args.data();
    int const length = Ril_FormatNotice(&copy, LibraryLanguage(language), nullptr, 0);
    if (length < 0)
        return std::nullopt;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    if (Ril_FormatNotice(&copy, LibraryLanguage(language), buffer.data(),
                         static_cast<RIL_ULONG>(buffer.size())) != length)
        return std::nullopt;
    std::string text(buffer.data(), static_cast<std::size_t>(length));
    return language == MessageLanguage::kChinese ? CodePageToUtf8(text, RIL_MESSAGES_CODE_PAGE)
                                                 : text;
}

// Drops a leading "Error: " or "警告: " (the severity says it) and escapes control characters.
std::string Tidy(std::string text) {
    for (std::string_view const prefix : {"Error: ", "Error:", "\xE8\xAD\xA6\xE5\x91\x8A: "})
        if (std::string_view(text).starts_with(prefix)) {
            text.erase(0, prefix.size());
            break;
        }
    return EscapeControls(text, false);
}

std::string Where(std::string const &file, std::optional<TextPlace> const &place) {
    if (file.empty())
        return "ril4410: ";
    std::string const at =
        place ? ":" + std::to_string(place->line) + ":" + std::to_string(place->column) : "";
    return "ril4410: " + file + at + ": ";
}

// The distinct characters of `bytes` (ANSI code page) as "a', '-', '中" (UTF-8).
std::string CharacterList(std::string const &bytes) {
    std::string const utf8 = AnsiToUtf8(bytes);
    std::vector<std::string> seen;
    std::string list;
    for (std::size_t i = 0, length = 1; i < utf8.size(); i += length) {
        for (length = 1; i + length < utf8.size() && (utf8[i + length] & 0xC0) == 0x80;)
            ++length;
        std::string const character = Tidy(utf8.substr(i, length));
        if (std::find(seen.begin(), seen.end(), character) != seen.end())
            continue;
        seen.push_back(character);
        list += (list.empty() ? "" : "', '") + character;
    }
    return list;
}

} // namespace

NoticeRenderer::NoticeRenderer(GlobalOptions const &options) : options_(options) {
    Ril_SetMessageLanguage(LibraryLanguage(options.language));
    Ril_SetNoticeHandlerEx(&Handle, this);
}

NoticeRenderer::~NoticeRenderer() {
    Flush();
    Ril_SetNoticeHandlerEx(nullptr, nullptr);
}

void NoticeRenderer::Handle(void *context, RIL_NOTICE const *notice) noexcept {
    if (context == nullptr || notice == nullptr)
        return;
    try {
        static_cast<NoticeRenderer *>(context)->Receive(*notice);
    } catch (...) {
        // A notice that cannot be rendered is printed as the library gave it.
        std::fprintf(stderr, "ril4410: %s\n", notice->text != nullptr ? notice->text : "");
    }
}

std::string NoticeRenderer::RenderText(RIL_NOTICE const &notice) const {
    std::optional<std::string> text;
    try {
        text = Render(notice, options_.language);
    } catch (Failure const &) {
        // Arguments that do not convert: the text as the library rendered it.
    }
    std::string const raw = notice.text != nullptr ? notice.text : "";
    try {
        if (!text)
            text = options_.language == MessageLanguage::kChinese
                       ? CodePageToUtf8(raw, RIL_MESSAGES_CODE_PAGE)
                       : raw;
    } catch (Failure const &) {
        text = raw;
    }
    *text = Tidy(*text);
    // The system's reason behind a failed file operation, unless the text says it already.
    if (notice.systemReason != nullptr && *notice.systemReason != '\0' &&
        text->find(notice.systemReason) == std::string::npos) {
        text->erase(text->find_last_not_of("! ") + 1);
        *text += std::string(": ") + notice.systemReason;
    }
    return *text;
}

Diagnostic NoticeRenderer::ToDiagnostic(RIL_NOTICE const &notice, std::string text) const {
    auto const place = [](long long line, long long column) {
        return line > 0 ? std::optional(TextPlace{line, column}) : std::nullopt;
    };
    return Diagnostic{static_cast<Severity>(notice.severity),
                      notice.file != nullptr ? notice.file : "",
                      place(notice.line, notice.column),
                      place(notice.firstLine, notice.firstColumn),
                      notice.messageId != nullptr ? notice.messageId : "",
                      std::move(text)};
}

void NoticeRenderer::Receive(RIL_NOTICE const &notice) {
    std::string const id = notice.messageId != nullptr ? notice.messageId : "";
    // The import log's own layout lines (head, banners) are the log's, not diagnostics.
    if (id == kLogEntry)
        return;
    if (!id.empty())
        seenIds_.insert(id);
    bool const mergeable = id == kIllegalCharacter && notice.argCount == 3 &&
                           !notice.args[0].isText && notice.args[1].isText &&
                           notice.args[2].isText && notice.args[1].text != nullptr &&
                           notice.args[2].text != nullptr;
    std::string const file = notice.file != nullptr ? notice.file : "";
    if (mergeable && pending_ && file == pending_->file && notice.offset == pending_->offset &&
        notice.args[0].number == pending_->id && pending_->macro == notice.args[1].text) {
        pending_->bytes += notice.args[2].text;
        ++pending_->count;
        return;
    }
    Flush();
    if (!mergeable) {
        Report(ToDiagnostic(notice, RenderText(notice)));
        return;
    }
    pending_ = Group{ToDiagnostic(notice, RenderText(notice)),
                     file,
                     notice.offset,
                     notice.args[0].number,
                     notice.args[1].text,
                     notice.args[2].text};
}

std::string NoticeRenderer::MergedText(Group const &group) const {
    std::string const macro = Tidy(AnsiToUtf8(group.macro));
    std::string const characters = CharacterList(group.bytes);
    if (options_.language == MessageLanguage::kChinese) {
        // The library's standard text with the list (ANSI code page, as arguments are).
        std::string const list = Utf8ToCodePage(characters, 0);
        RIL_NOTICE_ARG const args[] = {
            {0, group.id, nullptr}, {1, 0, group.macro.c_str()}, {1, 0, list.c_str()}};
        RIL_NOTICE notice{};
        notice.messageId = kIllegalCharacter.data();
        notice.file = group.file.empty() ? nullptr : group.file.c_str();
        notice.offset = group.offset;
        notice.firstOffset = -1;
        notice.argCount = 3;
        notice.args = args;
        notice.text = "";
        return RenderText(notice);
    }
    return "ID " + std::to_string(group.id) + ": macro '" + macro +
           "' holds the illegal characters '" + characters + "'" +
           " (only upper-case letters, digits and '_' are allowed)";
}

void NoticeRenderer::Flush() {
    if (!pending_)
        return;
    Group group = std::move(*pending_);
    pending_.reset();
    try {
        if (group.count > 1)
            group.diagnostic.text = MergedText(group);
    } catch (Failure const &) {
        // Keep the first notice's text.
    }
    Report(std::move(group.diagnostic));
}

void NoticeRenderer::Report(Diagnostic diagnostic) {
    // The same fault told again at once (a log that takes no line) is one fault.
    std::string const line = Format(diagnostic);
    if (line == lastLine_)
        return;
    lastLine_ = line;
    if (diagnostic.severity == Severity::kError)
        ++errors_;
    else if (diagnostic.severity == Severity::kWarning)
        ++warnings_;
    bool const shown = diagnostic.severity == Severity::kError ||
                       (diagnostic.severity == Severity::kWarning && !options_.quiet) ||
                       (diagnostic.severity == Severity::kInformation && verbose_);
    if (!shown)
        return;
    if (collect_) {
        collect_(std::move(diagnostic));
        return;
    }
    std::fputs(line.c_str(), stderr);
}

std::string NoticeRenderer::Format(Diagnostic const &diagnostic) {
    std::string line = Where(diagnostic.file, diagnostic.place) +
                       SeverityWord(diagnostic.severity) + ": " + diagnostic.text + "\n";
    if (diagnostic.firstPlace)
        line += Where(diagnostic.file, diagnostic.firstPlace) + "note: first defined here\n";
    return line;
}

} // namespace rilcli
