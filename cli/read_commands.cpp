// The commands that load a BIN and print its items: dump and get.
#include "bin_check.h"
#include "bin_items.h"
#include "commands.h"
#include "diagnostics.h"
#include "json_writer.h"
#include "text_output.h"

#include <optional>

namespace rilcli {
namespace {

// The opening of the JSON dump, up to the items array's bracket.
std::string JsonHead(std::string const &path, bool wide) {
    Holder const holder = ReadHolder(path);
    std::string head =
        JsonObject()
            .Add("flavour", wide ? "WCS" : "MBCS")
            .AddRaw("holder", holder.held == 1 ? JsonString(AnsiToUtf8(holder.text)) : "null")
            .AddRaw("items", "[")
            .Close();
    head.pop_back(); // the object's closing brace comes after the items
    return head;
}

} // namespace

int RunDump(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    BinFacts bin;
    bool const wide = CheckedWide(invocation, path, &bin);
    bool const json = invocation.Value("--json") != nullptr;
    LoadBin(path);
    if (json)
        WriteOut(JsonHead(path, wide));
    char const *separator = "\n";
    // The library keeps no list of IDs: its inspection names those of the file's entries.
    for (RIL_ULONG const id : bin.ids) {
        std::optional<Item> const item = ReadItem(id, wide);
        if (!item)
            continue;
        std::string const macro = AnsiToUtf8(item->macro);
        std::string const &text = item->text;
        if (json) {
            WriteOut(separator + JsonObject()
                                     .Add("id", std::int64_t{id})
                                     .Add("macro", macro)
                                     .Add("text", text)
                                     .Close());
            separator = ",\n";
        } else {
            WriteOut(std::to_string(id) + '\t' + EscapeControls(macro) + '\t' +
                     EscapeControls(text) + '\n');
        }
    }
    if (json)
        WriteOut(separator[0] == ',' ? "\n]}\n" : "]}\n");
    FinishOutput();
    return kExitOk;
}

int RunGet(Invocation const &invocation) {
    if (invocation.Value("--languages") != nullptr)
        return RunGetLanguages(invocation);
    std::string const &path = invocation.operands[0];
    RIL_ULONG const id = ParseId(invocation.operands[1]);
    bool const wide = CheckedWide(invocation, path);
    LoadBin(path);
    // A missing ID still gives a one-blank string from the getters; only the record tells.
    std::optional<Item> const item = ReadItem(id, wide);
    if (!item)
        throw Failure("no item with ID " + std::to_string(id) + " in '" + path + "'");
    WriteOut(EscapeControls(item->text) + '\n');
    FinishOutput();
    return kExitOk;
}

} // namespace rilcli
