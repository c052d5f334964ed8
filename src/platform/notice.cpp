// Dispatch of notices to the caller's handler or to the platform default.
#include "platform/notice.h"

namespace ril::platform {
namespace {
struct Sink {
    NoticeHandler handler = nullptr;
    void *context = nullptr;
};

Sink &CurrentSink() {
    static Sink sink;
    return sink;
}
} // namespace

void SetNoticeHandler(NoticeHandler handler, void *context) {
    CurrentSink() = Sink{handler, handler != nullptr ? context : nullptr};
}

void ShowNotice(const char *caption, const char *message) {
    const Sink &sink = CurrentSink();
    if (sink.handler != nullptr)
        sink.handler(sink.context, caption, message);
    else
        ShowDefaultNotice(caption, message);
}

} // namespace ril::platform
