// The process-wide objects. Members are built in declaration order and destroyed in reverse.
#include "table/library_state.h"

#include "platform/thread_attach.h"

namespace ril {
namespace {
LibraryState theState;
} // namespace

LibraryState &State() {
    return theState;
}

} // namespace ril

void ril::platform::OnThreadAttach() {
    ril::SetLastErrorCode(kSOk);
}
