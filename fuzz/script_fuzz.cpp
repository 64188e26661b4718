// Fuzz target for the script host's lexer and parser.
//
// Input: the bytes of a script. Parsing either gives a program or a syntax
// error; checked on every input:
//  - nothing but a syntax error ever leaves the parser (no crash, no other
//    exception, no runaway recursion on deep nesting);
//  - a syntax error names a line of the script (1 up to one past its last);
//  - parsing is deterministic: the same bytes give the same answer twice.
// Scripts are parsed, never run: running arbitrary scripts would write
// files and could loop for ever.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "parser.h"

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "script_fuzz: invariant broken: %s\n", what);
  std::abort();
}

// The answer of one parse: the number of top-level statements, or the
// syntax error's line and text.
std::string parseOnce(std::string_view source) {
  try {
    const auto program = zidevuv10::script::parseScript(source);
    return "ok " + std::to_string(program.statements.size());
  } catch (const zidevuv10::script::SyntaxError& e) {
    const auto lines = static_cast<int>(std::count(source.begin(), source.end(), '\n') +
                                        std::count(source.begin(), source.end(), '\r'));
    if (e.line() < 1 || e.line() > lines + 1) fail("syntax error names no line of the script");
    return "error " + std::to_string(e.line()) + " " + e.what();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  if (parseOnce(source) != parseOnce(source)) fail("two parses of one script differ");
  return 0;
}
