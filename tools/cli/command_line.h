// The tool's command line: what each subcommand takes, how its arguments are
// parsed, its help text, and the two kinds of failure with their exit
// statuses. Options are long ("--name VALUE" or "--name=VALUE"; an optional
// value only in the second form) and may stand before, between or after the
// operands; "--" ends the options, so an operand may start with "-". "-h" is
// short for "--help".
// Pure parsing and texts; the tool runs its subcommands on one thread.
#pragma once

#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zidevuv10::cli {

inline constexpr std::string_view kToolName = "zidevuv10";

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A runtime failure: reported as "zidevuv10: <what>", exit status 1.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Bad usage: reported as "zidevuv10: <what>" with a pointer to the help,
// exit status 2. `command` names the subcommand whose help to point at.
struct UsageError : std::runtime_error {
  UsageError(std::string commandName, const std::string& what)
      : std::runtime_error(what), command(std::move(commandName)) {}
  std::string command;
};

struct OperandSyntax {
  std::string_view name;  // "FILE"
  std::string_view help;
  bool optional = false;  // optional operands follow the required ones, each nested in the last
  bool repeated = false;  // the last operand only: given any number of times (optional too)
};

struct OptionSyntax {
  std::string_view name;       // "--default"
  std::string_view valueName;  // "TEXT"; empty for an option without a value
  std::string_view help;
  bool optionalValue = false;  // the value only as "--name=VALUE"; "--name" alone is ""
};

struct CommandSyntax {
  std::string_view name;
  std::string_view summary;      // one line, for the tool's help
  std::string_view description;  // a paragraph for the command's help
  std::vector<OperandSyntax> operands;
  std::vector<OptionSyntax> options;
  std::string_view failureStatus;  // what exit status 1 means for this command
  std::string_view usageStatus = {};  // what exit status 2 means, when more than bad usage
};

struct ParsedArgs {
  std::vector<std::string> operands;
  std::map<std::string, std::string, std::less<>> options;  // by name, "--default"
  bool help = false;

  bool has(std::string_view option) const { return options.contains(option); }
  // The operand at `index`, or nullptr when fewer were given.
  const std::string* operand(std::size_t index) const {
    return index < operands.size() ? &operands[index] : nullptr;
  }
};

// Parses a command's arguments (those after its name); UsageError on an
// unknown option, a missing option value, an option given twice, or too few
// or too many operands. With --help anywhere before "--" only `help` is set.
ParsedArgs parseArguments(const CommandSyntax& syntax, std::span<const std::string> args);

// "zidevuv10 get FILE [SECTION [KEY]] [--default TEXT]"
std::string usageLine(const CommandSyntax& syntax);
// The command's whole help: usage line, description, one line per operand
// and option, exit statuses.
std::string helpText(const CommandSyntax& syntax);
// The tool's help: usage, every command with its summary, exit statuses.
std::string toolHelpText(std::span<const CommandSyntax* const> commands);

}  // namespace zidevuv10::cli
