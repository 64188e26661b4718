// The runtime functions a script may call: text (Chr, Len, Left, Mid,
// Replace, ...), arrays (UBound, LBound), types and conversions (TypeName,
// CStr, CInt, CLng, IsObject, IsEmpty, ...). CreateObject is the
// interpreter's own, since it needs the host's objects.
// Functions on the caller's values; called on the thread running the script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/variant.h"

namespace zidevuv10::script {

using BuiltinFunction = Variant (*)(std::vector<Variant>& args);

// The function of that name (lower case, without `$`), or null.
BuiltinFunction findBuiltin(std::u16string_view lowerName);

// TypeName's answer for a value.
std::u16string typeNameOf(const Variant& v);

}  // namespace zidevuv10::script
