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

// Any operator but Not. A comparison here takes no operand as a constant.
Variant binaryOperation(Operator op, const Variant& left, const Variant& right);

// = <> < > <= >=
constexpr bool isComparison(Operator op) {
  return op == Operator::Equal || op == Operator::NotEqual || op == Operator::Less || op == Operator::Greater ||
         op == Operator::LessOrEqual || op == Operator::GreaterOrEqual;
}

// A comparison as the language reference orders values: numbers (and
// dates) by value, texts by their characters, Empty as 0 or "", and a
// number less than any text. Where an operand is a constant written in the
// script (`x = 5`, `n = "5"`), a text that holds a number compares as that
// number, and a date with a text that holds a date as dates.
Variant comparisonOperation(Operator op, const Variant& left, const Variant& right, bool constantOperand);
// Appends a value's text as `&` joins it (Null and Empty add nothing).
void appendJoined(std::u16string& text, const Variant& value);
// Subtract (minus), Add (plus) or Not.
Variant unaryOperation(Operator op, const Variant& operand);

// The runtime's error for a fault found by the script host itself.
[[noreturn]] void raiseHostError(int32_t number);

// The script host's name as the source of its own errors.
inline constexpr std::u16string_view kHostSource = u"ScriptHost";

}  // namespace zidevuv10::script
