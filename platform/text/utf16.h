// UTF-16 text (the wide form of the profile functions): strict conversion
// to UTF-8 and safe cut points; the lenient conversions are in text/utf8.h.
// Embedded NULs are ordinary characters. Pure functions; safe from any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zidevuv10::text {

// The UTF-8 form of UTF-16 text; nullopt when the text holds an unpaired
// surrogate (it is then no text at all).
std::optional<std::string> validUtf16ToUtf8(std::u16string_view units);

// The largest cut position <= n that does not split a surrogate pair of s.
constexpr std::size_t utf16CutAtOrBefore(std::u16string_view s, std::size_t n) {
  if (n == 0 || n >= s.size()) return n >= s.size() ? s.size() : 0;
  const char16_t before = s[n - 1];
  const char16_t after = s[n];
  const bool splitsPair = before >= 0xD800 && before <= 0xDBFF && after >= 0xDC00 && after <= 0xDFFF;
  return splitsPair ? n - 1 : n;
}

}  // namespace zidevuv10::text
