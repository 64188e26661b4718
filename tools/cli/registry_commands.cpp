// register, unregister: the library's records in the component registry.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "host_files.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::cli {

namespace {

constexpr OptionSyntax kRegistryOption{
    "--registry", "FILE",
    "the registry file to use (default: $ZIDEVUV10_REGISTRY, else "
    "${XDG_CONFIG_HOME:-~/.config}/zidevuv10/registry.ini)"};

const CommandSyntax kRegister{
    "register",
    "write the library's classes into the registry",
    "Writes the records of the library's classes and type library into the\n"
    "component registry, naming the library file this tool loaded, so that other\n"
    "clients can create the classes by ProgID or class id. Prints the registry\n"
    "file and the library file.",
    {},
    {kRegistryOption},
    "the registry file could not be written"};

const CommandSyntax kUnregister{
    "unregister",
    "remove the library's classes from the registry",
    "Removes exactly the records register writes, leaving every other record of\n"
    "the registry as it was. Prints the registry file.",
    {},
    {kRegistryOption},
    "the registry file could not be written"};

// The library reads the registry's name from the environment on every call.
void chooseRegistry(const ParsedArgs& args) {
  const auto chosen = args.options.find("--registry");
  if (chosen == args.options.end()) return;
  if (::setenv("ZIDEVUV10_REGISTRY", storePath(chosen->second).c_str(), 1) != 0) {
    throw Failure("cannot set ZIDEVUV10_REGISTRY");
  }
}

int runRegister(const ParsedArgs& args) {
  chooseRegistry(args);
  const std::string registry = registryPath();
  if (!registerLibrary()) {
    throw Failure(registry + ": cannot write the records");
  }
  std::cout << "registered " << libraryClasses().size() << " classes of " << libraryFile()
            << " in " << registry << "\n";
  return kExitOk;
}

int runUnregister(const ParsedArgs& args) {
  chooseRegistry(args);
  const std::string registry = registryPath();
  if (!unregisterLibrary()) {
    throw Failure(registry + ": cannot remove the records");
  }
  std::cout << "unregistered " << libraryClasses().size() << " classes from " << registry << "\n";
  return kExitOk;
}

}  // namespace

std::vector<Command> registryCommands() {
  return {{&kRegister, runRegister}, {&kUnregister, runUnregister}};
}

}  // namespace zidevuv10::cli
