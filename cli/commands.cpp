// The command table, in the order the usage text lists the commands.
#include "commands.h"

namespace rilcli {
namespace {

constexpr ValueOption kImportOptions[] = {{"--log", "FILE"}};

constexpr CommandSpec kCommands[] = {
    {"import", "TEXT.txt OUT.bin", 2, true,
     "compile a text resource file into a BIN (messages to standard error or the log)",
     &RunImport, kImportOptions},
    {"dump", "FILE.bin", 1, true,
     "print every item as ID<TAB>MACRO<TAB>TEXT, one line each, in ascending ID order", &RunDump},
    {"get", "FILE.bin ID", 2, true, "print the text of the item ID", &RunGet},
};

} // namespace

std::span<CommandSpec const> Commands() {
    return kCommands;
}

} // namespace rilcli
