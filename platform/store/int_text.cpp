#include "store/int_text.h"

#include "text/blanks.h"

namespace zidevuv10::store {

namespace {

// The digit's value, or -1 when it is no digit of any base used here.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint32_t parseProfileInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text::isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char p = text[i + 1];
    base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const int d = digitValue(text[i]);
    if (d < 0 || static_cast<uint32_t>(d) >= base) break;
    value = value * base + static_cast<uint32_t>(d);
  }
  return negative ? 0u - value : value;
}

}  // namespace zidevuv10::store
