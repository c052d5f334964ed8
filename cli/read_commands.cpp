// The commands that load a BIN and print its items: dump and get.
#include "bin_check.h"
#include "bin_items.h"
#include "commands.h"
#include "diagnostics.h"
#include "text_output.h"

namespace rilcli {
namespace {

std::string TextAsUtf8(Item const &item, bool wide) {
    return wide ? Utf16ToUtf8(WideText(item)) : AnsiToUtf8(MultibyteText(item));
}

} // namespace

int RunDump(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    bool const wide = CheckedWide(invocation, path);
    LoadBin(path);
    // The library keeps no list of IDs: probe the IDs that the file's entries name.
    for (std::uint32_t const id : EntryIds(path)) {
        if (!HasItem(id))
            continue;
        Item const item = ReadItem(id);
        WriteOut(std::to_string(id) + '\t' + EscapeControls(AnsiToUtf8(item.macro)) + '\t' +
                 EscapeControls(TextAsUtf8(item, wide)) + '\n');
    }
    FinishOutput();
    return kExitOk;
}

int RunGet(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    RIL_ULONG const id = ParseId(invocation.operands[1]);
    bool const wide = CheckedWide(invocation, path);
    LoadBin(path);
    // A missing ID still gives a one-blank string from the getters; only the record tells.
    if (!HasItem(id))
        throw Failure("no item with ID " + std::to_string(id) + " in '" + path + "'");
    WriteOut(EscapeControls(TextAsUtf8(ReadItem(id), wide)) + '\n');
    FinishOutput();
    return kExitOk;
}

} // namespace rilcli
