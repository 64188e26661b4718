// The script's operators on Variants, typed as the runtime types them:
// Integer arithmetic stays Integer until it overflows (then Long, then
// Double), `/` gives a Double, `&` joins texts, comparisons and logic give
// Booleans, and Null passes through.
// Pure functions of their operands; safe from any thread.
#pragma once

#include <string_view>

#include "operator.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::script {

// Any operator but Not.
Variant binaryOperation(Operator op, const Variant& left, const Variant& right);
// Appends a value's text as `&` joins it (Null and Empty add nothing).
void appendJoined(std::u16string& text, const Variant& value);
// Subtract (minus), Add (plus) or Not.
Variant unaryOperation(Operator op, const Variant& operand);

// The runtime's error for a fault found by the script host itself.
[[noreturn]] void raiseHostError(int32_t number);

// The script host's name as the source of its own errors.
inline constexpr std::u16string_view kHostSource = u"ScriptHost";

}  // namespace zidevuv10::script
