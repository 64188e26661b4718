// Runs a script through the script host in this process and keeps what it
// printed, what it reported and its exit status.
#pragma once

#include <string>
#include <string_view>

#include "zidevuv10/host.h"

namespace zidevuv10::testing {

struct ScriptResult {
  int status = -1;
  std::string out;
  std::string errors;
};

ScriptResult runScriptText(std::string_view source, const ScreenMetrics& screen = ScreenMetrics{});

}  // namespace zidevuv10::testing
