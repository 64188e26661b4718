// Runs a program as a child process and collects what it printed and how it
// ended, for tests of the command-line tool.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zidevuv10::testing {

struct ProcessResult {
  int status = -1;  // the exit status; 128 + the signal's number when a signal ended it
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs argv[0] (a path) with the arguments, the calling process's environment
// and current folder, `input` as its standard input; waits for it to end.
// Throws std::runtime_error when the program cannot be started.
ProcessResult runProcess(const std::vector<std::string>& argv, std::string_view input = {});

}  // namespace zidevuv10::testing
