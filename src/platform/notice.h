// The notice sink: where the library's "message boxes" go.
#pragma once

namespace ril::platform {

using NoticeHandler = void (*)(void *context, const char *caption, const char *message);

// Routes every notice to `handler`; null restores the platform's own presentation.
void SetNoticeHandler(NoticeHandler handler, void *context);
// Shows a notice: the caller's handler if one is set, otherwise the platform default.
void ShowNotice(const char *caption, const char *message);
// The platform's own presentation (a message box, or a line on standard error).
void ShowDefaultNotice(const char *caption, const char *message);

} // namespace ril::platform
