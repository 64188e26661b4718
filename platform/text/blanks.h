// Blank characters and trimming as the profile store sees them.
// Pure functions; safe from any thread.
#pragma once

#include <string_view>

namespace zidevuv10::text {

// Blanks that surround names and values in a profile file: space, tab, CR,
// LF, vertical tab, form feed and 0x1A (the old DOS end-of-file mark).
constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\x1a';
}

constexpr std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Removes trailing spaces only (the rule for default values).
constexpr std::string_view trimTrailingSpaces(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace zidevuv10::text
