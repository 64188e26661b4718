// Why a profile store call failed, in words: the tool names the cause the
// store reported instead of guessing it from the file system.
// Pure functions; safe from any thread.
#pragma once

#include <string>

#include "store/status.h"

namespace zidevuv10::cli {

// The cause of a failure with this status, for "FILE: cannot ...: CAUSE".
std::string causeOf(store::Status status);

}  // namespace zidevuv10::cli
