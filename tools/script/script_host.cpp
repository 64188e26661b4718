// Placeholder until the interpreter lands: refuses every script.
#include "script_host.h"

namespace zidevuv10::script {

int runScript(std::string_view, std::string_view scriptName, const ScreenMetrics&, std::ostream&,
              std::ostream& errors) {
  errors << "zidevuv10: " << scriptName << ": the script host is not built yet\n";
  return kSyntaxError;
}

}  // namespace zidevuv10::script
