// The run-time editing commands: holder (read or append a holder marker) and module (list
// the item records of a resource module, or edit it in one session).
#include "bin_files.h"
#include "commands.h"
#include "diagnostics.h"
#include "text_output.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rilcli {
namespace {

// The value of --add's first value that asks for a new ID.
constexpr char kNewId[] = "new";

void PrintHolder(std::string const &path) {
    Holder const holder = ReadHolder(path);
    if (holder.held == kNoHolderFlag)
        WriteOut("not a BIN (no holder flag)\n");
    else if (holder.held == 0)
        WriteOut("no holder marker\n");
    else if (holder.text.empty())
        WriteOut("empty holder marker\n");
    else
        WriteOut("holder: " + EscapeControls(AnsiToUtf8(holder.text)) + "\n");
    FinishOutput();
}

// Closes the module when a command ends, discarding a session that is still open.
class OpenModule {
  public:
    explicit OpenModule(std::string const &path) {
        RIL_LONG const result = Ril_RTEditOpenModule(path.c_str());
        if (result != 0)
            throw Failure("cannot open the module '" + path + "'", result);
    }
    ~OpenModule() { Ril_RTEditCloseModule(); }
    OpenModule(OpenModule const &) = delete;
    OpenModule &operator=(OpenModule const &) = delete;
};

void ListModule(Invocation const &invocation) {
    std::string const &path = invocation.operands[1];
    OpenModule const module(path);
    for (RIL_ULONG id = 1; id <= RIL_RESOURCE_ID_MAX; ++id) {
        RIL_ULONG size = 0;
        void const *bytes = Ril_RTEditGetModuleData(id, &size);
        if (bytes == nullptr)
            continue;
        std::optional<Item> const item = ItemOfRecord(bytes, size, invocation.wide, true);
        if (!item) {
            // Standard output stays a list of items; the note goes beside it.
            FinishOutput();
            std::fprintf(stderr, "ril4410: resource %u of %s holds no item record (%u byte%s)\n",
                         static_cast<unsigned>(id), ("'" + path + "'").c_str(),
                         static_cast<unsigned>(size), size == 1 ? "" : "s");
            continue;
        }
        WriteOut(std::to_string(id) + '\t' + EscapeControls(AnsiToUtf8(item->macro)) + '\t' +
                 EscapeControls(item->text) + '\n');
    }
    FinishOutput();
}

// A macro as the import accepts it: upper-case letters, digits and underscores, at least one.
void CheckMacro(std::string const &macro) {
    if (Ril_IsMacroName(macro.c_str()) == 0)
        throw UsageError("invalid macro '" + macro +
                         "' (upper-case letters, digits and underscores are expected)");
}

// One --add or --remove, ready for the library: the macro and text converted, text terminated.
struct Operation {
    RepeatedOption const *option; // --add ID MACRO TEXT or --remove ID, as given
    RIL_ULONG id = 0;
    std::string macro;
    std::vector<std::uint8_t> data;
    bool Add() const { return option->name == "--add"; }
};

std::vector<std::uint8_t> TextData(std::string const &text, bool wide) {
    if (!wide) {
        std::string const bytes = ArgumentToAnsi(text);
        return std::vector<std::uint8_t>(bytes.c_str(), bytes.c_str() + bytes.size() + 1);
    }
    // UTF-16LE, the host's own order on every platform the library serves.
    static_assert(std::endian::native == std::endian::little);
    std::u16string const units = ArgumentToUtf16(text) + u'\0';
    std::vector<std::uint8_t> data(units.size() * sizeof(char16_t));
    std::memcpy(data.data(), units.data(), data.size());
    return data;
}

std::vector<Operation> PrepareOperations(Invocation const &invocation) {
    std::vector<Operation> operations;
    for (RepeatedOption const &option : invocation.repeated) {
        bool const add = option.name == "--add";
        std::string const &id = option.values[0];
        operations.push_back(
            {&option, add && id == kNewId ? RIL_NEW_ID : ParseId(id),
             add ? ArgumentToAnsi(option.values[1]) : "",
             add ? TextData(option.values[2], invocation.wide) : std::vector<std::uint8_t>()});
    }
    return operations;
}

// Runs one operation of the open session and returns its line of output.
std::string Perform(Operation const &operation, std::string const &path) {
    if (operation.Add()) {
        std::string const &macro = operation.option->values[1];
        RIL_ULONG assigned = 0;
        RIL_LONG const result = Ril_RTEditAddOrReplaceString(
            operation.macro.c_str(), operation.data.data(),
            static_cast<RIL_ULONG>(operation.data.size()), operation.id, &assigned);
        if (result != 0)
            throw Failure("cannot add '" + macro + "' to '" + path + "'", result);
        return "added " + std::to_string(assigned) + " " + EscapeControls(macro) + "\n";
    }
    RIL_LONG const result = Ril_RTEditRemoveString(operation.id);
    if (result == 0)
        return "removed " + std::to_string(operation.id) + "\n";
    if (result == 1)
        return "not present " + std::to_string(operation.id) + "\n";
    throw Failure("cannot remove ID " + std::to_string(operation.id) + " from '" + path + "'",
                  result);
}

void EditModule(Invocation const &invocation) {
    std::string const &path = invocation.operands[1];
    bool const discard = invocation.Value("--discard") != nullptr;
    char const *const header = invocation.Value("--header");
    char const *const firstIdText = invocation.Value("--first-id");
    RIL_ULONG const firstId = firstIdText != nullptr ? ParseId(firstIdText) : 0;
    // Every text is converted before the module is touched.
    std::vector<Operation> const operations = PrepareOperations(invocation);
    char const *const given = invocation.Value("--holder");
    std::string const holder = given != nullptr ? ArgumentToAnsi(given) : "";
    if (char const *bin = invocation.Value("--bin")) {
        CheckBin(bin);
        LoadBin(bin);
    }

    OpenModule const module(path);
    RIL_LONG result = Ril_RTEditBegin(firstId, given != nullptr ? holder.c_str() : nullptr);
    if (result != 0)
        throw Failure("cannot begin editing '" + path + "'", result);
    // Printed once the session has ended: a failed edit is discarded and prints nothing.
    std::string lines;
    for (Operation const &operation : operations)
        lines += Perform(operation, path);
    result = Ril_RTEditEnd(discard ? 1 : 0, nullptr, invocation.wide ? 1 : 0);
    if (result != 0)
        throw Failure(
            std::string(discard ? "cannot discard the edits of '" : "cannot commit to '") + path +
                "'",
            result);
    WriteOut(lines);
    FinishOutput();
    if (header == nullptr)
        return;
    // The header of the BIN given, named as the header command names it (not FILE.bin.h).
    char const *const bin = invocation.Value("--bin");
    result = Ril_WriteHeaderFile(header, invocation.wide ? 1 : 0, bin);
    if (result != 0)
        throw Failure("cannot write the header of '" + std::string(bin) + "' into '" + header + "'",
                      result);
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

int RunHolder(Invocation const &invocation) {
    std::string const &path = invocation.operands[0];
    // The system's reason for a missing file or a directory, not the library's bare E_FAIL.
    std::error_code ignored;
    bool const directory = std::filesystem::is_directory(path, ignored);
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> const file(
        directory ? nullptr : std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw Failure("cannot open '" + path + "': " + std::strerror(directory ? EISDIR : errno));
    char const *const text = invocation.Value("--set");
    if (text == nullptr && invocation.Value("--clear") == nullptr) {
        PrintHolder(path);
        return kExitOk;
    }
    std::string const holder = text != nullptr ? ArgumentToAnsi(text) : std::string();
    RIL_LONG const result =
        Ril_RTEditForceWriteHolderInfo(path.c_str(), text != nullptr ? holder.c_str() : nullptr);
    if (result != 0)
        throw Failure("cannot write a holder marker to '" + path + "'", result);
    return kExitOk;
}

int RunModule(Invocation const &invocation) {
    if (invocation.operands[0] == "list")
        ListModule(invocation);
    else
        EditModule(invocation);
    return kExitOk;
}

} // namespace rilcli
