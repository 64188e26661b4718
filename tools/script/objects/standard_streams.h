// The run's standard streams as TextStreams: 0 input (one stream for the
// whole run, so what it has read is not read again), 1 output, 2 errors.
#pragma once

#include <memory>

#include "host_objects.h"
#include "objects/text_stream.h"

namespace zidevuv10::script {

Ref<ScriptTextStream> standardStream(const std::shared_ptr<OutputSink>& sink, const std::shared_ptr<RunState>& run,
                                     int which);

}  // namespace zidevuv10::script
