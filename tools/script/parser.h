// Parses a script into its statements. The whole script is parsed before
// anything runs, so a syntax error anywhere means nothing runs.
// Pure function of the source text; safe from any thread.
#pragma once

#include <string_view>

#include "ast.h"
#include "lexer.h"

namespace zidevuv10::script {

// The script's program; SyntaxError names the first faulty line.
Program parseScript(std::string_view source);

}  // namespace zidevuv10::script
