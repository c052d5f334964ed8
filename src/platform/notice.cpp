// Dispatch of notices to the caller's handlers or to the platform default, and the language
// they are rendered in: the library's one place of notice settings.
#include "platform/notice.h"

namespace ril::platform {
namespace {
struct Sink {
    NoticeHandler handler = nullptr;
    void *context = nullptr;
    NoticePartsHandler partsHandler = nullptr;
    void *partsContext = nullptr;
    NoticeLanguage language = NoticeLanguage::Chinese;
};

Sink &CurrentSink() {
    static Sink sink;
    return sink;
}
} // namespace

void SetNoticeHandler(NoticeHandler handler, void *context) {
    Sink &sink = CurrentSink();
    sink.handler = handler;
    sink.context = handler != nullptr ? context : nullptr;
}

void SetNoticePartsHandler(NoticePartsHandler handler, void *context) {
    Sink &sink = CurrentSink();
    sink.partsHandler = handler;
    sink.partsContext = handler != nullptr ? context : nullptr;
}

bool HasNoticePartsHandler() {
    return CurrentSink().partsHandler != nullptr;
}

bool DeliverNoticeParts(NoticeParts const &notice) {
    Sink const &sink = CurrentSink();
    if (sink.partsHandler == nullptr)
        return false;
    sink.partsHandler(sink.partsContext, notice);
    return true;
}

void ShowNotice(char const *caption, char const *message) {
    Sink const &sink = CurrentSink();
    if (sink.handler != nullptr)
        sink.handler(sink.context, caption, message);
    else
        ShowDefaultNotice(caption, message);
}

NoticeLanguage CurrentNoticeLanguage() {
    return CurrentSink().language;
}

void SetNoticeLanguage(NoticeLanguage language) {
    CurrentSink().language = language;
}

} // namespace ril::platform
