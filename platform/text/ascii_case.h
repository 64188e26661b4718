// ASCII case of UTF-16 text: member, class and script names match without
// regard to the case of the letters A-Z only, whatever else they hold.
// Header only, so that the Python module and the script host, which link
// just the shared library, use the same rule. Pure; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace zidevuv10::text {

constexpr char16_t asciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

constexpr char16_t asciiUpper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

inline std::u16string asciiLowered(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = asciiLower(c);
  return out;
}

inline std::u16string asciiUppered(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = asciiUpper(c);
  return out;
}

constexpr bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace zidevuv10::text
