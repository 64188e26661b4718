// Tokens of the script language. Keywords and names are matched without
// regard to case; `'` and `Rem` start a comment; `_` at the end of a line
// joins it to the next; `:` separates statements like a line end; `#...#`
// is a date, written month first as in US English whatever the locale.
// Pure functions of the source text; safe from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "operator.h"

namespace zidevuv10::script {

// A fault in the script's text, found before anything runs.
class SyntaxError : public std::runtime_error {
 public:
  SyntaxError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

enum class TokenKind { Name, Integer, Decimal, String, Date, Symbol, EndOfStatement, EndOfScript };

struct Token {
  TokenKind kind;
  std::string text;    // a name as written, a symbol, a string literal's UTF-8 content
  std::string lower;   // a name or symbol in lower case, for keyword matching
  double number = 0;   // Integer and Decimal; Date: the date's day count
  int line = 0;
  bool spaceBefore = false;  // a blank stood right before the token
  // The operator a symbol or word stands for in an expression (`<>`, `Mod`).
  std::optional<Operator> op;
};

// The script's tokens, ending with EndOfScript; SyntaxError on a character
// the language has no use for or an unterminated string.
std::vector<Token> tokenize(std::string_view source);

}  // namespace zidevuv10::script
