// Character tables outside Windows: the published ranges of the code page that the iconv
// conversions serve under the same number.
#include "platform/codepage.h"
#include "platform/codepage_chars.h"

namespace ril::platform {

CharTable CharTableFor(unsigned codePage) {
    CharTable const *table = PublishedCharTable(codePage != 0 ? codePage : AnsiCodePage());
    return table != nullptr ? *table : CharTable();
}

} // namespace ril::platform
