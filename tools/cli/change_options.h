// The options set, del and merge share, as crudini spells them:
//   --existing[=WHAT]  fail unless what the command names is there: the file
//                      (WHAT file), the file and section (section), or
//                      everything named (param, or no WHAT); merge changes
//                      only keys that exist instead of failing on a key
//   --verbose          say on standard error whether the file changed
//   --output FILE      leave FILE alone and put the result there ("-":
//                      standard output)
// Checks of a parsed file (the section and key named) for --existing.
// Pure functions over the parsed arguments and a document; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "command_line.h"
#include "store/document.h"

namespace zidevuv10::cli {

// Ordered: each asks for what the one before asks, and more.
enum class Existing { None, File, Section, All };

inline constexpr OptionSyntax kExistingOption{
    "--existing", "WHAT",
    "fail unless what is named exists: file, section, or param\n"
    "(the default: everything named)",
    true};
inline constexpr OptionSyntax kVerboseOption{
    "--verbose", "", "say on standard error whether the file changed (\"changed: ...\"\n"
                     "or \"unchanged: ...\")"};
inline constexpr OptionSyntax kOutputOption{
    "--output", "OUT", "write the result to OUT (- for standard output); FILE stays\nas it is"};

struct ChangeOptions {
  Existing existing = Existing::None;
  bool verbose = false;
  std::optional<std::string> output;
};

// UsageError naming `command` for an unknown WHAT.
ChangeOptions changeOptions(const ParsedArgs& args, const std::string& command);

// A section's index in the document (Document::kPreamble for the empty
// name, the lines before the first header), -1 when it has none.
int sectionIndex(const store::Document& doc, std::string_view section);

// "changed: set app.ini Main name v" (or "unchanged: ...") on standard
// error when --verbose was given.
void reportChange(const ChangeOptions& options, const ParsedArgs& args, std::string_view command,
                  bool changed);

}  // namespace zidevuv10::cli
