#include "text/case_fold.h"

#include <unicode/utf8.h>

#include <cstdint>

#include "text/ascii_case.h"
#include "text/icu.h"

namespace zidevuv10::text {

void foldCaseInto(std::string_view s, std::string& out) {
  out.clear();
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  const auto n = static_cast<int32_t>(s.size());
  int32_t i = 0;
  while (i < n) {
    const uint8_t b = p[i];
    if (b < 0x80) {
      out.push_back(static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b));
      ++i;
      continue;
    }
    const int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(p, i, n, c);
    if (c < 0) {
      out.append(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
      continue;
    }
    const UChar32 f = icu().foldCase(c, U_FOLD_CASE_DEFAULT);
    char buf[4];
    int32_t len = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buf), len, f);
    out.append(buf, static_cast<std::size_t>(len));
  }
}

std::string foldCase(std::string_view s) {
  std::string out;
  foldCaseInto(s, out);
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool ascii = true;
    bool same = true;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto x = static_cast<unsigned char>(a[i]);
      const auto y = static_cast<unsigned char>(b[i]);
      if ((x | y) >= 0x80) {
        ascii = false;
        break;
      }
      const auto lx = x >= 'A' && x <= 'Z' ? x + 32 : x;
      const auto ly = y >= 'A' && y <= 'Z' ? y + 32 : y;
      if (lx != ly) same = false;
    }
    if (ascii) return same;
  }
  return foldCase(a) == foldCase(b);
}

char16_t upperCase(char16_t c) {
  if (c < 0x80) return asciiUpper(c);
  return static_cast<char16_t>(icu().toUpper(c));
}

char16_t lowerCase(char16_t c) {
  if (c < 0x80) return asciiLower(c);
  return static_cast<char16_t>(icu().toLower(c));
}

}  // namespace zidevuv10::text
