// Refusing a writer whose output is its input: the notice names both paths as given.
#include "core/own_input.h"

#include "core/error_report.h"
#include "core/messages.h"
#include "platform/fs.h"

namespace ril::core {

bool WritesOwnInput(char const *output, char const *input) {
    if (output == nullptr || input == nullptr || !platform::SameFile(output, input))
        return false;
    ErrorBox(catalogue::kWritesOwnInput, NoticeSite{.file = output}, output, input);
    return true;
}

} // namespace ril::core
