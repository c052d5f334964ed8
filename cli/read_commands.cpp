// The commands that read items: dump and get (from a BIN, or with --languages a language chain).
#include "bin_files.h"
#include "commands.h"
#include "diagnostics.h"
#include "text_output.h"

#include <memory>
#include <optional>

namespace rilcli {
namespace {

// get --languages: the text of an ID from a table's chain of language files, and its file.
int RunGetLanguages(Invocation const &invocation) {
    std::string const &folder = invocation.operands[0], &name = invocation.operands[1];
    RIL_ULONG const id = ParseId(invocation.operands[2]);
    // An empty list asks for the user's languages.
    char const *languages = invocation.Value("--languages");
    std::unique_ptr<RIL_TABLE, void (*)(RIL_TABLE *)> table(
        Ril_OpenTableForLanguages(folder.c_str(), name.c_str(),
                                  *languages != '\0' ? languages : nullptr),
        &Ril_CloseTable);
    if (!table)
        throw Failure("cannot open the table '" + name + "' in '" + folder + "'",
                      Ril_GetLastError());
    char const *const source = Ril_TableGetSource(table.get(), id);
    if (source == nullptr)
        throw Failure("no item with ID " + std::to_string(id) + " in the chain of '" + name + "'");
    std::string text;
    if (invocation.wide) {
        std::u16string units;
        for (RIL_WCHAR const *unit = Ril_TableGetStringW(table.get(), id); *unit != 0; ++unit)
            units += static_cast<char16_t>(*unit);
        text = Utf16ToUtf8(units);
    } else {
        text = AnsiToUtf8(Ril_TableGetStringA(table.get(), id));
    }
    WriteOut(EscapeControls(source) + '\t' + EscapeControls(text) + '\n');
    FinishOutput();
    return kExitOk;
}

} // namespace

int RunDump(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    BinFacts const bin = CheckBin(path, true);
    bool const wide = WideOfInspection(invocation, path, bin.info);
    bool const json = invocation.Value("--json") != nullptr;
    LoadBin(path);
    if (json) {
        Holder const holder = ReadHolder(path);
        std::string head =
            JsonLine({{"flavour", wide ? "WCS" : "MBCS"},
                      {"holder", holder.held == 1 ? Json(AnsiToUtf8(holder.text)) : Json()}});
        head.pop_back(); // the object's closing brace comes after the items
        WriteOut(head + ", \"items\": [");
    }
    char const *separator = "\n";
    // The library keeps no list of IDs: its inspection names those of the file's entries.
    for (RIL_ULONG const id : bin.ids) {
        std::optional<Item> const item = ReadItem(id, wide);
        if (!item)
            continue;
        std::string const macro = AnsiToUtf8(item->macro);
        if (json) {
            WriteOut(separator + JsonLine({{"id", id}, {"macro", macro}, {"text", item->text}}));
            separator = ",\n";
        } else {
            WriteOut(std::to_string(id) + '\t' + EscapeControls(macro) + '\t' +
                     EscapeControls(item->text) + '\n');
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
