// Parses a script into its statements. The whole script is parsed before
// anything runs, so a syntax error anywhere means nothing runs.
// Pure function of the source text; safe from any thread.
#pragma once

#include <string_view>

#include "ast.h"
#include "lexer.h"

namespace zidevuv10::script {

// How a text is parsed.
struct ParseOptions {
  // `x = x & e` appends to x in place where e can call none of the text's
  // procedures; off for code run by Execute, which may call procedures of
  // the text it runs in.
  bool appendsInPlace = true;
};

// The script's program; SyntaxError names the first faulty line.
Program parseScript(std::string_view source, const ParseOptions& options = {});

// One expression and nothing after it (what Eval evaluates).
ExprPtr parseExpression(std::string_view source);

}  // namespace zidevuv10::script
