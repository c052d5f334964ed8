// What the grammar of module edit cannot say: the options it requires, and valid IDs and
// macros before any file is touched.
#pragma once

#include "arguments.h"

namespace rilcli {

// Throws UsageError unless one of --commit and --discard is given, --header comes with
// --bin, and every ID and macro of --first-id, --add and --remove is valid.
void CheckModuleEdit(Invocation const &invocation);

// The value of --add's first value that asks for a new ID.
inline constexpr char kNewId[] = "new";

} // namespace rilcli
