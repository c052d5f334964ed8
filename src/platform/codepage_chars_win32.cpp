// Character tables on Windows: the lead bytes the system reports for the code page (the
// ranges IsDBCSLeadByteEx consults), with the published trail ranges.
#include "platform/codepage.h"
#include "platform/codepage_chars.h"

#include <windows.h>

#include <iterator>

namespace ril::platform {
namespace {

// Trail bytes of a double-byte code page without published ranges: every byte that trails
// in one of those that have them.
constexpr CharTable::ByteRange kAnyTrails[] = {{0x40, 0x7E}, {0x80, 0xFE}};

} // namespace

CharTable CharTableFor(unsigned codePage) {
    unsigned const resolved = codePage != 0 ? codePage : AnsiCodePage();
    CharTable const *published = PublishedCharTable(resolved);
    // GB18030's four-byte forms have no lead-byte ranges in CPINFO, nor UTF-8's sequences.
    if (published != nullptr && (published->HasFourByteForms() || published->IsUtf8()))
        return *published;
    CPINFO info;
    if (!GetCPInfo(resolved, &info) || info.MaxCharSize != 2)
        return CharTable();
    CharTable::ByteRange leads[MAX_LEADBYTES / 2] = {};
    std::size_t count = 0;
    for (; count < MAX_LEADBYTES / 2 && info.LeadByte[2 * count] != 0; ++count)
        leads[count] = {info.LeadByte[2 * count], info.LeadByte[2 * count + 1]};
    if (count == 0)
        return CharTable();
    if (published != nullptr)
        return published->WithLeads(leads, count);
    return CharTable(leads, count, kAnyTrails, std::size(kAnyTrails), false);
}

} // namespace ril::platform
