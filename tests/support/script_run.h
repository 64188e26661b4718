// Runs a script through the script host in this process and keeps what it
// printed, what it reported and its exit status.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/host.h"

namespace zidevuv10::testing {

struct ScriptResult {
  int status = -1;
  std::string out;
  std::string errors;
};

ScriptResult runScriptText(std::string_view source, const ScreenMetrics& screen = ScreenMetrics{});
// With arguments for WScript.Arguments and the lines InputBox reads.
ScriptResult runScriptText(std::string_view source, const std::vector<std::string>& arguments,
                           std::string_view input = {});

}  // namespace zidevuv10::testing
