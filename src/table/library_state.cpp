// The process-wide objects. Members are built in declaration order and destroyed in reverse.
#include "table/library_state.h"

namespace ril {
namespace {
LibraryState theState;
} // namespace

LibraryState &State() { return theState; }

} // namespace ril
