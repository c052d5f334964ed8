// The command lines of holder and module, which have their own grammar: repeated options,
// an option with three values and a subcommand.
#pragma once

#include "arguments.h"

#include <span>

namespace rilcli {

// Each checks the whole line against its command's grammar (throwing UsageError) and fills
// the invocation: operands (for module the subcommand first), --wide, the single options
// in `values` (flags as empty strings) and --add / --remove in `repeated`, in order. Every
// ID is checked here, so a malformed line fails before any file is touched.
ParsedLine ParseHolderLine(CommandSpec const &command, std::span<char const *const> arguments);
ParsedLine ParseModuleLine(CommandSpec const &command, std::span<char const *const> arguments);

// How many values an option of holder or module takes (0 for a flag or an unknown name).
std::size_t OwnGrammarValueCount(std::string_view name);

// The two commands' entries in the usage text.
extern char const kHolderUsage[];
extern char const kModuleUsage[];

// The value of --add's first value that asks for a new ID.
inline constexpr char kNewId[] = "new";

} // namespace rilcli
