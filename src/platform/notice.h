// The platform's own presentation of a notice: a message box on Windows, a line on standard
// error elsewhere. Which notices reach it, and with what text, core/notice decides.
#pragma once

namespace ril::platform {

// Shows a finished notice text under its caption.
void ShowDefaultNotice(char const *caption, char const *message);

} // namespace ril::platform
