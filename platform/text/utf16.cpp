#include "text/utf16.h"

#include <unicode/utf16.h>

#include "text/utf8.h"

namespace zidevuv10::text {

std::optional<std::string> validUtf16ToUtf8(std::u16string_view units) {
  const char16_t* p = units.data();
  const auto n = static_cast<int32_t>(units.size());
  int32_t i = 0;
  while (i < n) {
    UChar32 c = 0;
    U16_NEXT(p, i, n, c);
    if (U_IS_SURROGATE(c)) return std::nullopt;
  }
  return utf16ToUtf8(units);
}

}  // namespace zidevuv10::text
