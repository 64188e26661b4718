// The classes `New` makes besides the script's own: a table by name, as
// the runtime's functions are one. `New Name` looks for a Class of the
// script first, then here, else it is error 506 (Class not defined).
// Each entry makes a new object; called on the thread running the script.
#pragma once

#include <string_view>

#include "zidevuv10/object.h"

namespace zidevuv10::script {

using BuiltinClassFactory = ObjectRef (*)();

// The factory of the built-in class of that name (lower case), or null.
BuiltinClassFactory findBuiltinClass(std::u16string_view lowerName);

}  // namespace zidevuv10::script
