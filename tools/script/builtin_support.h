// What the runtime's function tables share: argument checks as the runtime
// makes them (450 for a count, 449 for an omitted argument), and the
// tables of the files beside builtins.cpp that findBuiltin consults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ast.h"
#include "builtins.h"
#include "operators.h"
#include "zidevuv10/error.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::script {

inline void arity(const std::vector<Variant>& args, std::size_t least, std::size_t most) {
  if (args.size() < least || args.size() > most) raiseHostError(err::kWrongArgumentCount);
  for (std::size_t i = 0; i < least; ++i) {
    if (args[i].isMissing()) raiseHostError(err::kArgumentNotOptional);
  }
}

inline bool given(const std::vector<Variant>& args, std::size_t i) { return i < args.size() && !args[i].isMissing(); }

inline bool isNull(const Variant& v) { return v.type() == VarType::Null; }

inline Variant textOf(std::u16string s) { return Variant(Text(std::move(s))); }

// Dates and times (builtins_date.cpp).
BuiltinFunction findDateBuiltin(std::u16string_view lowerName);
// Numbers as text, and the other later functions (builtins_format.cpp).
BuiltinFunction findFormatBuiltin(std::u16string_view lowerName);

}  // namespace zidevuv10::script
