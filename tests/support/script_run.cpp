#include "support/script_run.h"

#include <sstream>

#include "script_host.h"

namespace zidevuv10::testing {

namespace {

ScriptResult run(std::string_view source, const ScreenMetrics& screen, const script::ScriptInvocation& invocation) {
  std::ostringstream out, errors;
  ScriptResult r;
  r.status = script::runScript(source, "test.vbs", screen, out, errors, invocation);
  r.out = out.str();
  r.errors = errors.str();
  return r;
}

}  // namespace

ScriptResult runScriptText(std::string_view source, const ScreenMetrics& screen) {
  return run(source, screen, {});
}

ScriptResult runScriptText(std::string_view source, const std::vector<std::string>& arguments,
                           std::string_view input) {
  std::istringstream lines{std::string(input)};
  script::ScriptInvocation invocation;
  invocation.arguments = arguments;
  invocation.input = &lines;
  return run(source, ScreenMetrics{}, invocation);
}

}  // namespace zidevuv10::testing
