// The command table, in the order the usage text lists the commands.
#include "commands.h"

#include "diagnostics.h"

#include <string_view>

namespace rilcli {
namespace {

constexpr char const *kImportOptions[] = {
    "--wide",        "--narrow",          "--force",         "--utf8",
    "--verbose",     "--if-changed",      "--log FILE",      "--code-page N",
    "--holder TEXT", "--format po|xliff", "--base BASE.bin", "--use-fuzzy"};
constexpr char const *kCheckOptions[] = {"--wide",    "--utf8",        "--werror",      "--json",
                                         "--verbose", "--code-page N", "--against BASE"};
constexpr char const *kPseudoOptions[] = {"--wide", "--utf8", "--code-page N"};
constexpr char const *kExportOptions[] = {
    "--wide",         "--narrow", "--force", "--utf8", "--code-page N", "--format pot|po|xliff",
    "--base BASE.bin"};
constexpr char const *kGetOptions[] = {"--wide", "--narrow",      "--force",
                                       "--utf8", "--code-page N", "--languages LIST"};
constexpr char const *kHeaderOptions[] = {"--wide", "--narrow",     "--force",
                                          "--utf8", "--if-changed", "--code-page N"};
constexpr char const *kDumpOptions[] = {"--wide", "--narrow", "--force",
                                        "--utf8", "--json",   "--code-page N"};
constexpr char const *kHolderOptions[] = {"--set TEXT", "--clear", "--code-page N", "--utf8"};
constexpr char const *kListOptions[] = {"--wide", "--code-page N", "--utf8"};
constexpr char const *kEditOptions[] = {
    "--wide",         "--holder TEXT", "--first-id ID", "--add ID|new MACRO TEXT...",
    "--remove ID...", "--commit",      "--discard",     "--header DIR",
    "--bin FILE.bin", "--code-page N", "--utf8"};

constexpr CommandSpec kCommands[] = {
    {"import", "TEXT.txt OUT.bin", 2,
     "compile a text resource file into a BIN (diagnostics to standard error, and the log)",
     &RunImport, kImportOptions},
    {"check", "TEXT.txt", 1,
     "report every fault the import would, and what it takes silently, as FILE:LINE:COL lines;\n"
     "      with --against, where the translation LANG departs from BASE (text files or BINs)",
     &RunCheck, kCheckOptions,
     "check TEXT.txt [--wide] [--utf8] [--werror] [--json] [--verbose] [--code-page N]\n"
     "  check --against BASE LANG [--wide] [--werror] [--json] [--code-page N]"},
    {"pseudo", "IN.txt OUT.txt", 2,
     "write IN.txt pseudo-localised: texts accented, 30% longer, in [brackets]", &RunPseudo,
     kPseudoOptions},
    {"export", "FILE.bin OUT.txt", 2,
     "write a BIN back as a text resource file (UTF-16 for wide texts, else multibyte)", &RunExport,
     kExportOptions},
    {"header", "FILE.bin DIR", 2,
     "write DIR/<name of FILE.bin>.h with one #define IDT_<MACRO> <ID> line per item", &RunHeader,
     kHeaderOptions},
    {"resave", "IN.bin OUT.bin", 2,
     "load a BIN and save its items in ascending ID order with a new holder marker", &RunResave},
    {"dump", "FILE.bin", 1,
     "print every item as ID<TAB>MACRO<TAB>TEXT, one line each, in ascending ID order", &RunDump,
     kDumpOptions},
    {"get", "FILE.bin ID", 2,
     "print the text of the item ID; with --languages, the file of the chain of NAME's\n"
     "      language files in FOLDER that holds ID, and its text",
     &RunGet, kGetOptions,
     "get FILE.bin ID [--wide] [--narrow] [--force] [--utf8] [--code-page N]\n"
     "  get --languages LIST FOLDER NAME ID [--wide] [--utf8] [--code-page N]",
     nullptr, "--languages", 3},
    {"holder", "FILE", 1,
     "print the holder of FILE, the text of its newest holder marker, as\n"
     "      \"holder: TEXT\", \"empty holder marker\", \"no holder marker\" (holder flag 0)\n"
     "      or \"not a BIN (no holder flag)\"; --set appends a marker holding TEXT,\n"
     "      --clear an empty one (FILE must exist)",
     &RunHolder, kHolderOptions, "holder FILE [--set TEXT | --clear]"},
    {"module list", "MODULE", 1,
     "print every item record of a resource module as ID<TAB>MACRO<TAB>TEXT, in\n"
     "      ascending ID order; resources that hold no item record are named on\n"
     "      standard error",
     &RunModule, kListOptions, "module list MODULE [--wide]"},
    {"module edit", "MODULE", 1,
     "edit a resource module in one session: apply the additions and removals in\n"
     "      command-line order, then commit them into MODULE or discard them; prints\n"
     "      \"added ID MACRO\", \"removed ID\" or \"not present ID\" for each",
     &RunModule, kEditOptions,
     "module edit MODULE (--commit | --discard) [--wide] [--holder TEXT]\n"
     "         [--first-id ID] [--add ID|new MACRO TEXT]... [--remove ID]...\n"
     "         [--header DIR --bin FILE.bin]",
     &CheckModuleEdit},
};

} // namespace

std::span<CommandSpec const> Commands() {
    return kCommands;
}

void RefuseStreamNames(Invocation const &invocation) {
    std::string const refusal =
        "'-' names no file here: only 'export FILE.bin -' writes to standard output";
    std::string_view const command = invocation.command->name;
    for (std::size_t i = 0; i < invocation.operands.size(); ++i) {
        // Operands that name no file, and export's text, which may go to standard output.
        bool const fileName = !(command == "get" && i >= 1) &&
                              !(command.starts_with("module") && i == 0) &&
                              !(command == "export" && i == 1);
        if (fileName && invocation.operands[i] == kStandardStream)
            throw UsageError(refusal);
    }
    for (char const *option : {"--log", "--bin", "--header"})
        if (char const *const value = invocation.Value(option);
            value != nullptr && value == kStandardStream)
            throw UsageError(refusal + " (" + option + ")");
}

} // namespace rilcli
