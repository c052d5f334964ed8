// The process-wide objects. Members are built in declaration order and destroyed in reverse.
#include "api/library_state.h"

#include "platform/thread_attach.h"

namespace ril {

LibraryState theLibraryState;

} // namespace ril

void ril::platform::OnThreadAttach() {
    ril::SetLastErrorCode(kSOk);
}
