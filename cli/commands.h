// The tool's commands: the table that the parser and the usage text are built from, and
// the functions that run them.
#pragma once

#include "arguments.h"

#include <span>
#include <string_view>

namespace rilcli {

// The file name that stands for standard output.
inline constexpr std::string_view kStandardStream = "-";

std::span<CommandSpec const> Commands();

// Refuses '-' as a file name (throwing UsageError) wherever the command cannot use a standard
// stream in its place: everywhere but export's text file.
void RefuseStreamNames(Invocation const &invocation);

// The functions that run the commands (in tool_, check_, read_ and module_commands.cpp).
int RunImport(Invocation const &invocation);
int RunExport(Invocation const &invocation);
int RunHeader(Invocation const &invocation);
int RunResave(Invocation const &invocation);
int RunPseudo(Invocation const &invocation);
// export (exporting) and import with --format, in interchange_commands.cpp.
int RunFormat(Invocation const &invocation, bool exporting);

int RunCheck(Invocation const &invocation);

int RunDump(Invocation const &invocation);
int RunGet(Invocation const &invocation);

int RunHolder(Invocation const &invocation);
int RunModule(Invocation const &invocation);
// Throws UsageError for what module edit's grammar cannot refuse.
void CheckModuleEdit(Invocation const &invocation);

} // namespace rilcli
