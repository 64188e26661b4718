// Case-insensitive names: Unicode simple case folding (ICU), so that
// "Ärger" and "ärger" name the same section, as on Windows.
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

}  // namespace zidevuv10::text
