#include "change_options.h"

#include <iostream>

#include "text/blanks.h"

namespace zidevuv10::cli {

ChangeOptions changeOptions(const ParsedArgs& args, const std::string& command) {
  ChangeOptions out;
  if (const auto existing = args.options.find("--existing"); existing != args.options.end()) {
    const std::string& what = existing->second;
    if (what.empty() || what == "param") {
      out.existing = Existing::All;
    } else if (what == "section") {
      out.existing = Existing::Section;
    } else if (what == "file") {
      out.existing = Existing::File;
    } else {
      throw UsageError(command, command + ": unknown --existing '" + what +
                                    "' (file, section or param)");
    }
  }
  out.verbose = args.has("--verbose");
  if (const auto output = args.options.find("--output"); output != args.options.end()) {
    out.output = output->second;
  }
  return out;
}

int sectionIndex(const store::Document& doc, std::string_view section) {
  const std::string_view name = text::trimBlanks(section);
  return name.empty() ? store::Document::kPreamble : doc.findSection(name);
}

void reportChange(const ChangeOptions& options, const ParsedArgs& args, std::string_view command,
                  bool changed) {
  if (!options.verbose) return;
  std::string line = changed ? "changed: " : "unchanged: ";
  line += command;
  for (const std::string& operand : args.operands) line += " " + operand;
  std::cerr << line << "\n";
}

}  // namespace zidevuv10::cli
