// Case-insensitive names: Unicode simple case folding (ICU, loaded the
// first time a name is not plain ASCII), so that "Ärger" and "ärger" name
// the same section, as on Windows.
// Pure functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace zidevuv10::text {

// The folded form of a UTF-8 name; equal folded forms mean equal names.
// Invalid bytes are kept as they are.
std::string foldCase(std::string_view s);
void foldCaseInto(std::string_view s, std::string& out);

bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The simple upper and lower case mappings of one UTF-16 unit.
char16_t upperCase(char16_t c);
char16_t lowerCase(char16_t c);

}  // namespace zidevuv10::text
