#include "objects/standard_streams.h"

namespace zidevuv10::script {

Ref<ScriptTextStream> standardStream(const std::shared_ptr<OutputSink>& sink, const std::shared_ptr<RunState>& run,
                                     int which) {
  if (which == 0) {
    if (!run->standardInput) run->standardInput = makeObject<ScriptTextStream>(run->input);
    return objectAs<ScriptTextStream>(run->standardInput);
  }
  return makeObject<ScriptTextStream>(sink, which == 1 ? &OutputSink::out : &OutputSink::err);
}

}  // namespace zidevuv10::script
