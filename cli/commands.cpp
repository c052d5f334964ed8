// The command table, in the order the usage text lists the commands.
#include "commands.h"

#include "diagnostics.h"
#include "module_arguments.h"
#include "output_files.h"

#include <algorithm>
#include <string_view>

namespace rilcli {
namespace {

constexpr ValueOption kImportOptions[] = {
    {"--log", "FILE"}, {"--code-page", "N"}, {"--holder", "TEXT"}};
constexpr ValueOption kTextOptions[] = {{"--code-page", "N"}};
constexpr char const *kImportFlags[] = {"--narrow", "--force", "--utf8", "--verbose",
                                        "--if-changed"};
constexpr char const *kTextFlags[] = {"--narrow", "--force", "--utf8"};
constexpr char const *kHeaderFlags[] = {"--narrow", "--force", "--utf8", "--if-changed"};
constexpr ValueOption kCheckOptions[] = {{"--code-page", "N"}};
constexpr char const *kCheckFlags[] = {"--utf8", "--werror", "--json", "--verbose"};
constexpr char const *kDumpFlags[] = {"--narrow", "--force", "--utf8", "--json"};
constexpr ValueOption kLanguagesOptions[] = {{"--languages", "LIST"}, {"--code-page", "N"}};
constexpr char const *kLanguagesFlags[] = {"--utf8"};

constexpr CommandSpec kCommands[] = {
    {"import", "TEXT.txt OUT.bin", 2, true,
     "compile a text resource file into a BIN (diagnostics to standard error, and the log)",
     &RunImport, kImportOptions, nullptr, nullptr, kImportFlags},
    {"check", "TEXT.txt", 1, true,
     "report every fault the import would, and what it takes silently, as FILE:LINE:COL lines",
     &RunCheck, kCheckOptions, nullptr, nullptr, kCheckFlags},
    {"export", "FILE.bin OUT.txt", 2, true,
     "write a BIN back as a text resource file (UTF-16 for wide texts, else multibyte)", &RunExport,
     kTextOptions, nullptr, nullptr, kTextFlags},
    {"header", "FILE.bin DIR", 2, true,
     "write DIR/<name of FILE.bin>.h with one #define IDT_<MACRO> <ID> line per item", &RunHeader,
     kTextOptions, nullptr, nullptr, kHeaderFlags},
    {"resave", "IN.bin OUT.bin", 2, false,
     "load a BIN and save its items in ascending ID order with a new holder marker", &RunResave},
    {"dump", "FILE.bin", 1, true,
     "print every item as ID<TAB>MACRO<TAB>TEXT, one line each, in ascending ID order", &RunDump,
     kTextOptions, nullptr, nullptr, kDumpFlags},
    {"get", "FILE.bin ID", 2, true, "print the text of the item ID", &RunGet, kTextOptions, nullptr,
     nullptr, kTextFlags},
    // The second form, chosen by --languages, which it alone takes.
    {"get", "--languages LIST FOLDER NAME ID", 3, true,
     "print the file of the chain of NAME's language files in FOLDER that holds ID, and its text",
     &RunGetLanguages, kLanguagesOptions, nullptr, nullptr, kLanguagesFlags},
    // Their own grammar (module_arguments.cpp): operands, options and summary are unused.
    {"holder", "", 0, false, "", &RunHolder, {}, &ParseHolderLine, kHolderUsage},
    {"module", "", 0, false, "", &RunModule, {}, &ParseModuleLine, kModuleUsage},
};

} // namespace

std::span<CommandSpec const> Commands() {
    return kCommands;
}

std::size_t OptionValueCount(std::string_view name) {
    return std::max<std::size_t>(OwnGrammarValueCount(name), IsValueOption(name, kCommands));
}

void RefuseStreamNames(Invocation const &invocation) {
    std::string_view const command = invocation.command->name;
    for (std::size_t i = 0; i < invocation.operands.size(); ++i) {
        // Operands that name no file, and export's text, which may go to standard output.
        bool const fileName = !(command == "get" && i >= 1) && !(command == "module" && i == 0) &&
                              !(command == "export" && i == 1);
        if (fileName && invocation.operands[i] == kStandardStream)
            throw UsageError("'-' names no file here: only 'export FILE.bin -' writes to "
                             "standard output");
    }
    for (char const *option : {"--log", "--bin", "--header"}) {
        char const *const value = invocation.Value(option);
        if (value != nullptr && value == kStandardStream)
            throw UsageError(std::string("'-' names no file here: only 'export FILE.bin -' "
                                         "writes to standard output (") +
                             option + ")");
    }
}

} // namespace rilcli
