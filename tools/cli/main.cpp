// zidevuv10: the command-line tool. Finds the subcommand, parses its
// arguments and runs it; every failure is one line "zidevuv10: <what>" on
// standard error and exit status 1 (runtime) or 2 (bad usage).
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "zidevuv10/version.h"

namespace {

using namespace zidevuv10::cli;

std::vector<Command> allCommands() {
  std::vector<Command> all;
  for (auto group : {storeCommands(), catalogueCommands(), registryCommands(), runCommands()}) {
    all.insert(all.end(), group.begin(), group.end());
  }
  return all;
}

void reportUsageError(const UsageError& e) {
  std::cerr << kToolName << ": " << e.what() << "\n"
            << "Try '" << kToolName << (e.command.empty() ? "" : " " + e.command) << " --help'.\n";
}

int dispatch(const std::vector<std::string>& args) {
  const std::vector<Command> commands = allCommands();
  if (args.empty()) throw UsageError("", "missing command");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "--version") {
    if (args.size() > 1) throw UsageError("", name + " takes no arguments");
    if (name == "--version") {
      std::cout << kToolName << " " << ZIDEVUV10_VERSION_STRING << "\n";
    } else {
      std::vector<const CommandSyntax*> syntaxes;
      for (const Command& c : commands) syntaxes.push_back(c.syntax);
      std::cout << toolHelpText(syntaxes);
    }
    return kExitOk;
  }
  for (const Command& command : commands) {
    if (command.syntax->name != name) continue;
    const ParsedArgs parsed = parseArguments(*command.syntax, {args.begin() + 1, args.end()});
    if (parsed.help) {
      std::cout << helpText(*command.syntax);
      return kExitOk;
    }
    return command.run(parsed);
  }
  throw UsageError("", (name.starts_with("-") ? "unknown option " : "unknown command ") + name);
}

}  // namespace

int main(int argc, char** argv) {
  int status = kExitOk;
  try {
    status = dispatch(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    reportUsageError(e);
    return kExitUsage;
  } catch (const std::bad_alloc&) {
    std::cerr << kToolName << ": out of memory\n";
    status = kExitFailure;
  } catch (const std::exception& e) {
    // Failure, and anything the library throws.
    std::cerr << kToolName << ": " << e.what() << "\n";
    status = kExitFailure;
  }
  // What was printed must have reached its reader.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << kToolName << ": cannot write to standard output\n";
    return kExitFailure;
  }
  return status;
}
