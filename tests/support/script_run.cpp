#include "support/script_run.h"

#include <sstream>

#include "script_host.h"

namespace zidevuv10::testing {

ScriptResult runScriptText(std::string_view source, const ScreenMetrics& screen) {
  std::ostringstream out, errors;
  ScriptResult r;
  r.status = script::runScript(source, "test.vbs", screen, out, errors);
  r.out = out.str();
  r.errors = errors.str();
  return r;
}

}  // namespace zidevuv10::testing
