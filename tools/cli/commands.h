// The subcommands, by group: each group's file defines its commands' syntaxes
// and handlers. A handler returns the exit status, or throws Failure or
// UsageError.
// The tool runs one subcommand at a time, on its main thread.
#pragma once

#include <vector>

#include "command_line.h"

namespace zidevuv10::cli {

struct Command {
  const CommandSyntax* syntax;
  int (*run)(const ParsedArgs& args);
};

// get, set, del, entries: initialization files through the profile store.
std::vector<Command> storeCommands();
// classes, typelib: the library's classes and their interfaces.
std::vector<Command> catalogueCommands();
// register, unregister: the component registry.
std::vector<Command> registryCommands();
// run: a script through the script host.
std::vector<Command> runCommands();

}  // namespace zidevuv10::cli
