// Why a call of the profile functions failed, in words: the tool reads the
// cause the store reported through GetLastError() instead of guessing it.
#pragma once

#include <cstdint>
#include <string>

namespace zidevuv10::cli {

// The cause of a failure with this last error code.
std::string causeOf(uint32_t lastError);

// Failure naming the cause when the read just made found no readable file:
// "ARGUMENT: no such file", "ARGUMENT: access denied (...)", ...
void requireFileRead(const std::string& argument);

}  // namespace zidevuv10::cli
