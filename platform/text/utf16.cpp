#include "text/utf16.h"

#include <unicode/ustring.h>

#include <limits>
#include <new>

namespace zidevuv10::text {

namespace {

int32_t icuLength(std::size_t n) {
  // ICU counts in int32_t; profile texts never come near this.
  if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 3)) throw std::bad_alloc();
  return static_cast<int32_t>(n);
}

}  // namespace

std::optional<std::string> utf16ToUtf8(std::u16string_view units) {
  if (units.empty()) return std::string();
  std::string out(units.size() * 3, '\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8(out.data(), icuLength(out.size()), &len, reinterpret_cast<const UChar*>(units.data()),
              icuLength(units.size()), &err);
  if (U_FAILURE(err)) return std::nullopt;
  out.resize(static_cast<std::size_t>(len));
  return out;
}

std::string utf16ToUtf8Lossy(std::u16string_view units) {
  if (units.empty()) return std::string();
  std::string out(units.size() * 3, '\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), icuLength(out.size()), &len,
                     reinterpret_cast<const UChar*>(units.data()), icuLength(units.size()), 0xFFFD,
                     nullptr, &err);
  if (U_FAILURE(err)) throw std::bad_alloc();  // the buffer always suffices
  out.resize(static_cast<std::size_t>(len));
  return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return std::u16string();
  std::u16string out(utf8.size(), u'\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), icuLength(out.size()), &len,
                       utf8.data(), icuLength(utf8.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err)) throw std::bad_alloc();  // the buffer always suffices
  out.resize(static_cast<std::size_t>(len));
  return out;
}

}  // namespace zidevuv10::text
