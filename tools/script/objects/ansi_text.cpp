#include "objects/ansi_text.h"

#include <array>
#include <cstdint>

namespace zidevuv10::script {

namespace {

// Characters 128..159 of Windows-1252 (its undefined five map to
// themselves, as Windows' own conversion does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t windows1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the UTF-8 sequence starting with `lead` (0: never a lead byte)
// and the allowed range of its second byte.
struct Lead {
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;
};

Lead leadOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0};
}

void append(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

std::size_t decodeAnsi(std::string_view bytes, bool final, std::u16string& out) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    const Lead lead = leadOf(b);
    std::size_t valid = lead.length == 0 ? 0 : 1;
    while (valid > 0 && valid < lead.length && i + valid < bytes.size()) {
      const auto c = static_cast<unsigned char>(bytes[i + valid]);
      const bool ok = valid == 1 ? c >= lead.low && c <= lead.high : continuation(c);
      if (!ok) break;
      ++valid;
    }
    if (valid > 0 && valid < lead.length && i + valid == bytes.size() && !final) return i;  // cut sequence
    if (valid == 0 || valid < lead.length) {
      out += windows1252(b);
      ++i;
      continue;
    }
    char32_t c = b & (0xFF >> (lead.length + 1));
    for (std::size_t k = 1; k < lead.length; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    append(out, c);
    i += lead.length;
  }
  return i;
}

}  // namespace zidevuv10::script
