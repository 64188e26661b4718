// Errors the runtime objects raise: the runtime's numbers, with the host as
// their source, and a description that may name what failed.
#pragma once

#include <cstdint>
#include <string_view>

namespace zidevuv10::script {

// The error with its standard description.
[[noreturn]] void raiseObjectError(int32_t number);
// The error with its standard description, then ": " and `detail`.
[[noreturn]] void raiseObjectError(int32_t number, std::u16string_view detail);

}  // namespace zidevuv10::script
