#include "text/utf8.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <cstring>

namespace zidevuv10::text {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 if invalid.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
  int32_t pos = 0;
  const auto* p = reinterpret_cast<const uint8_t*>(s.data() + i);
  const auto avail = static_cast<int32_t>(std::min<std::size_t>(s.size() - i, 4));
  UChar32 c = 0;
  U8_NEXT(p, pos, avail, c);
  return c < 0 ? 0 : static_cast<std::size_t>(pos);
}

}  // namespace

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    // Fast path: eight ASCII bytes at a time.
    if (i + 8 <= n) {
      uint64_t word = 0;
      std::memcpy(&word, s.data() + i, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        i += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t len = sequenceLength(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::size_t utf8CutAtOrBefore(std::string_view s, std::size_t n) {
  if (n >= s.size()) return s.size();
  // Walk back over at most three continuation bytes to the lead byte, and
  // keep the cut there if the sequence from that lead would cross n.
  std::size_t lead = n;
  for (int back = 0; back < 3 && lead > 0; ++back) {
    if ((static_cast<unsigned char>(s[lead]) & 0xC0) != 0x80) break;
    --lead;
  }
  if (lead == n) return n;
  const std::size_t len = sequenceLength(s, lead);
  if (len == 0) return n;  // stray bytes: each is a character of its own
  return lead + len <= n ? n : lead;
}

std::string repairUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      out.push_back(s[i++]);
      continue;
    }
    const std::size_t len = sequenceLength(s, i);
    if (len == 0) {
      out.append("\xEF\xBF\xBD");
      ++i;
    } else {
      out.append(s.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const auto n = static_cast<int32_t>(utf8.size());
  int32_t i = 0;
  while (i < n) {
    UChar32 c = 0;
    U8_NEXT_OR_FFFD(p, i, n, c);
    if (U_IS_BMP(c)) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(U16_LEAD(c)));
      out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
    }
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  const char16_t* p = utf16.data();
  const auto n = static_cast<int32_t>(utf16.size());
  int32_t i = 0;
  while (i < n) {
    UChar32 c = 0;
    U16_NEXT(p, i, n, c);
    if (U_IS_SURROGATE(c)) c = 0xFFFD;
    char buf[U8_MAX_LENGTH];
    int32_t len = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buf), len, c);
    out.append(buf, static_cast<std::size_t>(len));
  }
  return out;
}

}  // namespace zidevuv10::text
