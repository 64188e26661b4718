// The functions a script can call without defining them: the runtime's
// (builtins.h) and those the interpreter answers itself because they need
// the run (CreateObject, GetObject, MsgBox, InputBox). The interpreter and
// `run --check` both ask here, so the check knows exactly what runs.
// Immutable; safe from any thread.
#pragma once

#include <string_view>

namespace zidevuv10::script {

// Whether a lower-case name (a trailing `$` allowed) is such a function.
bool isRuntimeFunction(std::u16string_view lowerName);

}  // namespace zidevuv10::script
