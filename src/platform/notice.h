// The notice sink: where the library's "message boxes" go, as finished texts to the plain
// handler (or the platform's own presentation), or with their parts to a parts handler.
#pragma once

namespace ril::platform {

using NoticeHandler = void (*)(void *context, char const *caption, char const *message);

// One argument of a notice's message: a number or a text.
struct NoticeArgument {
    bool isText = false;
    long long number = 0;
    char const *text = nullptr;
};

// A notice with its parts; the pointers are valid during the delivery only.
struct NoticeParts {
    char const *messageId = nullptr;
    int severity = 0;
    char const *file = nullptr;
    long long offset = -1;
    long long firstOffset = -1;
    int systemError = 0;
    char const *systemReason = nullptr;
    bool logged = false;
    NoticeArgument const *args = nullptr;
    unsigned argCount = 0;
    char const *text = nullptr;
    long long line = 0; // 1-based places of offset and firstOffset; 0 when unknown
    long long column = 0;
    long long firstLine = 0;
    long long firstColumn = 0;
};

using NoticePartsHandler = void (*)(void *context, NoticeParts const &notice);

// The language notices are rendered in.
enum class NoticeLanguage { Chinese = 0, English = 1 };

// Routes every notice to `handler`; null restores the platform's own presentation.
void SetNoticeHandler(NoticeHandler handler, void *context);
// While set, every notice goes to `handler` with its parts, and to nothing else.
void SetNoticePartsHandler(NoticePartsHandler handler, void *context);
bool HasNoticePartsHandler();
// Delivers the notice to the parts handler; false (nothing done) when none is set.
bool DeliverNoticeParts(NoticeParts const &notice);
// Shows a notice: the caller's handler if one is set, otherwise the platform default.
void ShowNotice(char const *caption, char const *message);
// The platform's own presentation (a message box, or a line on standard error).
void ShowDefaultNotice(char const *caption, char const *message);

NoticeLanguage CurrentNoticeLanguage();
void SetNoticeLanguage(NoticeLanguage language);

} // namespace ril::platform
