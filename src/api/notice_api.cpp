// Exports for the library's notices: the plain and the structured handler, the language of
// rendered texts, and rendering a notice again.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "core/notice.h"
#include "platform/notice.h"

#include <cstring>
#include <string>
#include <vector>

namespace ril::api {
namespace {

// The sink's notice as the caller's RIL_NOTICE, handed to the caller's handler.
void DeliverToCaller(void *context, platform::NoticeParts const &parts) {
    NoticeExTarget const &target = *static_cast<NoticeExTarget const *>(context);
    std::vector<RIL_NOTICE_ARG> args(parts.argCount);
    for (unsigned i = 0; i < parts.argCount; ++i)
        args[i] =
            RIL_NOTICE_ARG{parts.args[i].isText ? 1 : 0, parts.args[i].number, parts.args[i].text};
    RIL_NOTICE notice{};
    notice.messageId = parts.messageId;
    notice.severity = parts.severity;
    notice.file = parts.file;
    notice.offset = parts.offset;
    notice.firstOffset = parts.firstOffset;
    notice.systemError = parts.systemError;
    notice.systemReason = parts.systemReason;
    notice.logged = parts.logged ? 1 : 0;
    notice.argCount = parts.argCount;
    notice.args = args.empty() ? nullptr : args.data();
    notice.text = parts.text;
    notice.line = parts.line;
    notice.column = parts.column;
    notice.firstLine = parts.firstLine;
    notice.firstColumn = parts.firstColumn;
    target.handler(target.context, &notice);
}

bool KnownLanguage(int language) {
    return language == RIL_MESSAGES_CHINESE || language == RIL_MESSAGES_ENGLISH;
}

int FormatNotice(const RIL_NOTICE *notice, int language, char *buffer, RIL_ULONG size) {
    if (notice == nullptr || !KnownLanguage(language) || (buffer == nullptr && size != 0) ||
        (notice->argCount != 0 && notice->args == nullptr))
        return -1;
    core::msg::Message const *message = core::catalogue::Find(notice->messageId);
    // A notice with fewer arguments than its message takes would render blanks.
    if (message == nullptr || notice->argCount < core::ArgumentCount(message->gbk))
        return -1;
    std::vector<core::NoticeArg> args(notice->argCount);
    for (unsigned i = 0; i < notice->argCount; ++i)
        args[i] = core::NoticeArg{notice->args[i].isText != 0, notice->args[i].number,
                                  notice->args[i].text};
    const std::string text = core::RenderMessage(
        *message, static_cast<platform::NoticeLanguage>(language), args.data(), args.size());
    if (size > 0) {
        const std::size_t kept = text.size() < size ? text.size() : size - 1;
        std::memcpy(buffer, text.data(), kept);
        buffer[kept] = '\0';
    }
    return static_cast<int>(text.size());
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API void Ril_SetNoticeHandler(RIL_NOTICE_HANDLER handler, void *context) {
    core::GuardedVoid([&] { platform::SetNoticeHandler(handler, context); });
}

extern "C" RIL_API void Ril_SetNoticeHandlerEx(RIL_NOTICE_EX_HANDLER handler, void *context) {
    core::GuardedVoid([&] {
        NoticeExTarget &target = State().noticeEx;
        target = NoticeExTarget{handler, handler != nullptr ? context : nullptr};
        platform::SetNoticePartsHandler(handler != nullptr ? &DeliverToCaller : nullptr, &target);
    });
}

extern "C" RIL_API int Ril_SetMessageLanguage(int language) {
    return core::Guarded<int>(-1, [&] {
        if (!KnownLanguage(language))
            return -1;
        const int previous = static_cast<int>(platform::CurrentNoticeLanguage());
        platform::SetNoticeLanguage(static_cast<platform::NoticeLanguage>(language));
        return previous;
    });
}

extern "C" RIL_API int Ril_FormatNotice(RIL_NOTICE const *notice, int language, char *buffer,
                                        RIL_ULONG size) {
    return core::Guarded<int>(-1, [&] { return FormatNotice(notice, language, buffer, size); });
}
