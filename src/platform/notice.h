// The notice sink: where the library's "message boxes" go, as finished texts to the plain
// handler (or the platform's own presentation), or with their parts to a parts handler.
#pragma once

namespace ril::platform {

using NoticeHandler = void (*)(void *context, const char *caption, const char *message);

// One argument of a notice's message: a number or a text.
struct NoticeArgument {
    bool isText = false;
    long long number = 0;
    const char *text = nullptr;
};

// A notice with its parts; the pointers are valid during the delivery only.
struct NoticeParts {
    const char *messageId = nullptr;
    int severity = 0;
    const char *file = nullptr;
    long long offset = -1;
    long long firstOffset = -1;
    int systemError = 0;
    const char *systemReason = nullptr;
    bool logged = false;
    const NoticeArgument *args = nullptr;
    unsigned argCount = 0;
    const char *text = nullptr;
};

using NoticePartsHandler = void (*)(void *context, const NoticeParts &notice);

// The language notices are rendered in.
enum class NoticeLanguage { Chinese = 0, English = 1 };

// Routes every notice to `handler`; null restores the platform's own presentation.
void SetNoticeHandler(NoticeHandler handler, void *context);
// While set, every notice goes to `handler` with its parts, and to nothing else.
void SetNoticePartsHandler(NoticePartsHandler handler, void *context);
bool HasNoticePartsHandler();
// Delivers the notice to the parts handler; false (nothing done) when none is set.
bool DeliverNoticeParts(const NoticeParts &notice);
// Shows a notice: the caller's handler if one is set, otherwise the platform default.
void ShowNotice(const char *caption, const char *message);
// The platform's own presentation (a message box, or a line on standard error).
void ShowDefaultNotice(const char *caption, const char *message);

NoticeLanguage CurrentNoticeLanguage();
void SetNoticeLanguage(NoticeLanguage language);

} // namespace ril::platform
