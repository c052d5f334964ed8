// The checks of a module edit's command line beyond its grammar.
#include "module_arguments.h"

#include "diagnostics.h"

#include <algorithm>

namespace rilcli {
namespace {

// A macro as the import accepts it: upper-case letters, digits and underscores, at least one.
void CheckMacro(std::string const &macro) {
    bool const valid = !macro.empty() && std::all_of(macro.begin(), macro.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
    if (!valid)
        throw UsageError("invalid macro '" + macro +
                         "' (upper-case letters, digits and underscores are expected)");
}

} // namespace

void CheckModuleEdit(Invocation const &invocation) {
    if (invocation.Value("--commit") == nullptr && invocation.Value("--discard") == nullptr)
        throw UsageError("one of '--commit' and '--discard' is required" +
                         UsageHint(*invocation.command));
    if (invocation.Value("--header") != nullptr && invocation.Value("--bin") == nullptr)
        throw UsageError("option '--header' needs '--bin FILE.bin', the BIN that the header "
                         "is written for");
    if (char const *first = invocation.Value("--first-id"))
        ParseId(first);
    for (RepeatedOption const &option : invocation.repeated) {
        if (option.name != "--add" || option.values.front() != kNewId)
            ParseId(option.values.front());
        if (option.name == "--add")
            CheckMacro(option.values[1]);
    }
}

} // namespace rilcli
