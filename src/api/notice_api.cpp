// Exports for the library's notices: the plain and the structured handler, the language of
// rendered texts, and rendering a notice again.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "core/notice.h"

#include <cstring>
#include <string>
#include <vector>

namespace ril::api {
namespace {

// The library's notice as the caller's RIL_NOTICE, handed to the caller's handler.
void DeliverToCaller(void *context, core::Notice const &from) {
    NoticeExTarget const &target = *static_cast<NoticeExTarget const *>(context);
    std::vector<RIL_NOTICE_ARG> args(from.argCount);
    for (std::size_t i = 0; i < from.argCount; ++i)
        args[i] =
            RIL_NOTICE_ARG{from.args[i].isText ? 1 : 0, from.args[i].number, from.args[i].text};
    RIL_NOTICE notice{};
    notice.messageId = from.message->id;
    notice.severity = from.severity;
    notice.file = from.site.file;
    notice.offset = from.site.offset;
    notice.firstOffset = from.site.firstOffset;
    notice.systemError = from.site.systemError;
    notice.systemReason = from.systemReason;
    notice.logged = from.logged ? 1 : 0;
    notice.argCount = static_cast<unsigned>(from.argCount);
    notice.args = args.empty() ? nullptr : args.data();
    notice.text = from.text;
    notice.line = from.place.line;
    notice.column = from.place.column;
    notice.firstLine = from.firstPlace.line;
    notice.firstColumn = from.firstPlace.column;
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
        *message, static_cast<core::NoticeLanguage>(language), args.data(), args.size());
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
    core::GuardedVoid([&] { core::SetPlainNoticeHandler(handler, context); });
}

extern "C" RIL_API void Ril_SetNoticeHandlerEx(RIL_NOTICE_EX_HANDLER handler, void *context) {
    core::GuardedVoid([&] {
        NoticeExTarget &target = State().noticeEx;
        target = NoticeExTarget{handler, handler != nullptr ? context : nullptr};
        core::SetNoticeHandler(handler != nullptr ? &DeliverToCaller : nullptr, &target);
    });
}

extern "C" RIL_API int Ril_SetNewIdNotices(int receive) {
    return core::Guarded<int>(-1, [&] { return core::SetPartsInformations(receive != 0) ? 1 : 0; });
}

extern "C" RIL_API int Ril_SetMessageLanguage(int language) {
    return core::Guarded<int>(-1, [&] {
        if (!KnownLanguage(language))
            return -1;
        const int previous = static_cast<int>(core::CurrentNoticeLanguage());
        core::SetNoticeLanguage(static_cast<core::NoticeLanguage>(language));
        return previous;
    });
}

extern "C" RIL_API int Ril_FormatNotice(RIL_NOTICE const *notice, int language, char *buffer,
                                        RIL_ULONG size) {
    return core::Guarded<int>(-1, [&] { return FormatNotice(notice, language, buffer, size); });
}
