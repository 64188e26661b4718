// `zidevuv10 run --check`: what in a script will not run here, found
// without running it: Windows-only objects, monikers and members (the
// tables of objects/windows_only.h), ProgIDs nothing here creates, and
// functions and subs that are neither the script's own nor the runtime's
// (the table the interpreter calls through, function_table.h).
// Pure function of the source; safe from any thread.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ast.h"

namespace zidevuv10::script {

struct CheckFinding {
  enum class Kind { WindowsOnly, UnknownObject, UnknownFunction };
  Kind kind;
  int line;
  std::u16string what;  // as the script wrote it: `CreateObject("Shell.Application")`, `Foo`
};

// The findings: Windows-only uses first, then unknown objects, then unknown
// functions, each in line order.
std::vector<CheckFinding> checkProgram(const Program& program);

// Parses and checks a script, printing one line per finding to `out`
// ("NAME:LINE: Windows-only: ..."). Status 0 when nothing was found, 1
// when something was, 2 for a syntax error (printed to `errors` as a run
// prints it).
int checkScript(std::string_view source, std::string_view scriptName, std::ostream& out, std::ostream& errors);

}  // namespace zidevuv10::script
