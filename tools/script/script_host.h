// The script host: runs a small VB-style script that drives the library's
// classes late-bound, as a scripting client would.
// A run swaps the process-wide message box handler and screen provider for
// its own for its whole duration, so runs must not overlap (one at a time in
// the process, whatever thread they run on).
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/host.h"

namespace zidevuv10::script {

// Exit statuses of a run.
inline constexpr int kRunOk = 0;
inline constexpr int kRunFailed = 1;  // an uncaught runtime error
inline constexpr int kSyntaxError = 2;

// What the script is started with besides its text: WScript.Arguments,
// WScript.ScriptFullName (empty: the name it was run as) and where InputBox
// reads its answers (null: every InputBox answers "").
struct ScriptInvocation {
  std::vector<std::string> arguments;  // UTF-8
  std::string fullName;
  std::istream* input = nullptr;
  // The host program's absolute path (WScript.FullName); empty: this process's own.
  std::string hostPath;
};

// Runs the script's source (UTF-8). `out` receives what the script prints
// and the library's message boxes; `errors` receives an uncaught runtime
// error or a syntax error, naming `scriptName` and the line. The screen is
// the one window placement fits into while the script runs. The status is
// kRunOk, kRunFailed, kSyntaxError, or what the script gave WScript.Quit.
int runScript(std::string_view source, std::string_view scriptName, const ScreenMetrics& screen,
              std::ostream& out, std::ostream& errors, const ScriptInvocation& invocation = {});

}  // namespace zidevuv10::script
