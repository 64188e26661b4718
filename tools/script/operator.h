// The script language's operators, as the lexer recognises them and the
// parsed program keeps them. `-` and `+` are also the unary minus and plus,
// `Not` is unary only; `=` is also the assignment and a Case value's test.
#pragma once

namespace zidevuv10::script {

enum class Operator {
  Add,             // +
  Subtract,        // -
  Multiply,        // *
  Divide,          // /
  IntegerDivide,   // backslash
  Modulo,          // Mod
  Power,           // ^
  Concatenate,     // &
  Equal,           // =
  NotEqual,        // <>
  Less,            // <
  Greater,         // >
  LessOrEqual,     // <=
  GreaterOrEqual,  // >=
  Is,              // Is: the same object
  And,
  Or,
  Xor,
  Not,
};

}  // namespace zidevuv10::script
