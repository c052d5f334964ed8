// Refusing a writer whose output is the very file it reads.
#pragma once

namespace ril::core {

// True, after the "writes-own-input" notice, when `output` and `input` name one existing
// file, compared by identity through links (device and inode; volume and file index).
bool WritesOwnInput(char const *output, char const *input);

} // namespace ril::core
