#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace zidevuv10::cli {

namespace {

constexpr std::string_view kHelpOption = "-h, --help";
constexpr std::string_view kUsageStatus =
    "bad usage: an unknown option, a missing or extra argument, a bad value";

// "--name", "-x": options. "-" alone and "-5" are operands, so that standard
// input and negative numbers need no "--".
bool looksLikeOption(const std::string& arg) {
  return arg.size() >= 2 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]));
}

const OptionSyntax* findOption(const CommandSyntax& syntax, std::string_view name) {
  for (const auto& option : syntax.options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::size_t requiredOperands(const CommandSyntax& syntax) {
  return static_cast<std::size_t>(std::count_if(syntax.operands.begin(), syntax.operands.end(),
                                                [](const OperandSyntax& o) { return !o.optional; }));
}

std::string optionLabel(const OptionSyntax& option) {
  std::string label(option.name);
  if (option.optionalValue) {
    label += "[=" + std::string(option.valueName) + "]";
  } else if (!option.valueName.empty()) {
    label += " " + std::string(option.valueName);
  }
  return label;
}

using Rows = std::vector<std::pair<std::string, std::string_view>>;

// "  label   text\n", the texts aligned in one column; a text's own line
// breaks continue in that column.
void appendTable(std::string& out, const Rows& rows, std::size_t width) {
  const std::string indent(width + 4, ' ');
  for (const auto& [label, text] : rows) {
    out += "  " + label + std::string(width - label.size(), ' ') + "  ";
    for (char c : text) {
      out += c;
      if (c == '\n') out += indent;
    }
    out += "\n";
  }
}

}  // namespace

ParsedArgs parseArguments(const CommandSyntax& syntax, std::span<const std::string> args) {
  ParsedArgs out;
  const std::string command(syntax.name);
  // The first error is kept until the end, so that --help anywhere still
  // shows the help.
  std::optional<UsageError> error;
  auto fail = [&](const std::string& what) {
    if (!error) error.emplace(command, command + ": " + what);
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !looksLikeOption(arg)) {
      out.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      out.help = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSyntax* option = findOption(syntax, name);
    if (option == nullptr) {
      fail("unknown option " + name);
      continue;
    }
    std::string value;
    if (option->valueName.empty()) {
      if (equals != std::string::npos) fail(name + " takes no value");
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (option->optionalValue) {
      // "--name" alone: the next argument is an operand.
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      fail(name + " needs a value (" + std::string(option->valueName) + ")");
      continue;
    }
    if (!out.options.emplace(name, std::move(value)).second) fail(name + " given twice");
  }
  if (out.help) return ParsedArgs{{}, {}, true};
  const std::size_t required = requiredOperands(syntax);
  if (out.operands.size() < required) {
    fail("missing " + std::string(syntax.operands[out.operands.size()].name));
  } else if (out.operands.size() > syntax.operands.size() &&
             (syntax.operands.empty() || !syntax.operands.back().repeated)) {
    fail("too many arguments, starting at '" + out.operands[syntax.operands.size()] + "'");
  }
  if (error) throw *error;
  return out;
}

std::string usageLine(const CommandSyntax& syntax) {
  std::string line = std::string(kToolName) + " " + std::string(syntax.name);
  std::size_t open = 0;
  for (const auto& operand : syntax.operands) {
    if (operand.optional) {
      line += " [" + std::string(operand.name) + (operand.repeated ? "..." : "");
      ++open;
    } else {
      line += " " + std::string(operand.name);
    }
  }
  line += std::string(open, ']');
  for (const auto& option : syntax.options) line += " [" + optionLabel(option) + "]";
  return line;
}

std::string helpText(const CommandSyntax& syntax) {
  std::string out = "Usage: " + usageLine(syntax) + "\n\n" + std::string(syntax.description) + "\n";
  Rows operands;
  Rows options;
  for (const auto& operand : syntax.operands) {
    operands.emplace_back(std::string(operand.name) + (operand.repeated ? "..." : ""), operand.help);
  }
  for (const auto& option : syntax.options) options.emplace_back(optionLabel(option), option.help);
  options.emplace_back(kHelpOption, "show this help and exit");
  std::size_t width = 0;
  for (const auto& rows : {operands, options}) {
    for (const auto& row : rows) width = std::max(width, row.first.size());
  }
  if (!operands.empty()) {
    out += "\nArguments:\n";
    appendTable(out, operands, width);
  }
  out += "\nOptions:\n";
  appendTable(out, options, width);
  out += "\nExit status:\n";
  const std::string_view usageStatus = syntax.usageStatus.empty() ? kUsageStatus : syntax.usageStatus;
  appendTable(out, {{"0", "success"}, {"1", syntax.failureStatus}, {"2", usageStatus}}, 1);
  return out;
}

std::string toolHelpText(std::span<const CommandSyntax* const> commands) {
  std::string out = "Usage: " + std::string(kToolName) + " COMMAND [ARGUMENTS]\n" +
                    "       " + std::string(kToolName) + " --help | --version\n\n" +
                    "Reads and writes Windows-style initialization files through the zidevuv10\n"
                    "library's profile store, lists the library's classes and their interfaces,\n"
                    "registers the library in the component registry and runs scripts.\n"
                    "\nCommands:\n";
  Rows rows;
  std::size_t width = std::string_view("-h, --help").size();
  for (const CommandSyntax* syntax : commands) {
    rows.emplace_back(syntax->name, syntax->summary);
    width = std::max(width, syntax->name.size());
  }
  appendTable(out, rows, width);
  out += "\nOptions:\n";
  const Rows options{{"-h, --help", "show this help and exit"},
                     {"--version", "show the version and exit"}};
  appendTable(out, options, width);
  out += "\n'" + std::string(kToolName) +
         " COMMAND --help' shows a command's arguments and options.\n"
         "\nExit status:\n";
  appendTable(out,
              {{"0", "success"},
               {"1", "a runtime failure (a missing file, a refused write, ...)"},
               {"2", kUsageStatus}},
              1);
  return out;
}

}  // namespace zidevuv10::cli
