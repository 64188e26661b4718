// ICU's regular expressions for the RegExp object, loaded (dlopen) the first
// time a script matches, so runs that never do load nothing. ICU keeps its
// backtracking on the heap within a limit and reports running past it as an
// error, where a recursive matcher would overflow the thread's stack on a
// long subject.
//
// VBScript patterns are ECMAScript's; ecmaToIcu rewrites the constructs
// ICU reads differently, so each pattern means what VBScript documents.
// Loaded once per process; the table is read-only afterwards.
#pragma once

#include <unicode/uregex.h>

#include <string>
#include <string_view>

namespace zidevuv10::script {

struct IcuRegexFunctions {
  decltype(&uregex_open) open;
  decltype(&uregex_close) close;
  decltype(&uregex_setText) setText;
  decltype(&uregex_findNext) findNext;
  decltype(&uregex_start) start;
  decltype(&uregex_end) end;
  decltype(&uregex_groupCount) groupCount;
  decltype(&uregex_setStackLimit) setStackLimit;
};

// The functions; std::runtime_error naming the library when ICU cannot be loaded.
const IcuRegexFunctions& icuRegex();

// An ECMAScript pattern in ICU's syntax, with the meanings VBScript gives:
// `\w \W \d \D \s \S` and word boundaries over ASCII word characters, `[`
// (and `&`, `-` doubled) inside a class literal, `{` that starts no
// repetition literal, an escaped letter with no meaning of its own the
// letter itself, and `$` without MultiLine the end of the text only.
std::u16string ecmaToIcu(std::u16string_view pattern, bool multiLine);

}  // namespace zidevuv10::script
