// get --languages: the text of an ID from the chain of a table's language files, with the
// file of the chain that holds it.
#include "commands.h"
#include "diagnostics.h"
#include "text_output.h"

#include <memory>

namespace rilcli {

int RunGetLanguages(Invocation const &invocation) {
    std::string const &folder = invocation.operands[0];
    std::string const &name = invocation.operands[1];
    RIL_ULONG const id = ParseId(invocation.operands[2]);
    // An empty list asks for the user's languages.
    char const *languages = invocation.Value("--languages");
    std::unique_ptr<RIL_TABLE, void (*)(RIL_TABLE *)> table(
        Ril_OpenTableForLanguages(folder.c_str(), name.c_str(),
                                  languages != nullptr && languages[0] != '\0' ? languages
                                                                               : nullptr),
        &Ril_CloseTable);
    if (!table)
        throw Failure("cannot open the table '" + name + "' in '" + folder + "'",
                      Ril_GetLastError());
    char const *const source = Ril_TableGetSource(table.get(), id);
    if (source == nullptr)
        throw Failure("no item with ID " + std::to_string(id) + " in the chain of '" + name + "'");
    std::string text;
    if (invocation.wide) {
        RIL_WCHAR const *wide = Ril_TableGetStringW(table.get(), id);
        std::u16string units;
        while (*wide != 0)
            units += static_cast<char16_t>(*wide++);
        text = Utf16ToUtf8(units);
    } else {
        text = AnsiToUtf8(Ril_TableGetStringA(table.get(), id));
    }
    WriteOut(EscapeControls(source) + '\t' + EscapeControls(text) + '\n');
    FinishOutput();
    return kExitOk;
}

} // namespace rilcli
