// Export that redirects the library's notices to the caller.
#include "Ril4410.h"
#include "core/export_guard.h"
#include "platform/notice.h"

extern "C" RIL_API void Ril_SetNoticeHandler(RIL_NOTICE_HANDLER handler, void *context) {
    ril::GuardedVoid([&] { ril::platform::SetNoticeHandler(handler, context); });
}
