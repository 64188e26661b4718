#include "zidevuv10/text.h"

#include <unicode/ustring.h>

namespace zidevuv10 {

Text Text::fromUtf8(std::string_view utf8) {
  std::u16string out(utf8.size() + 1, u'\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                       &len, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                       &err);
  out.resize(U_SUCCESS(err) ? static_cast<std::size_t>(len) : 0);
  return Text(std::move(out));
}

const std::u16string& Text::str() const {
  static const std::u16string kEmpty;
  return value_ ? *value_ : kEmpty;
}

std::string Text::utf8() const {
  const std::u16string& s = str();
  std::string out(s.size() * 3 + 1, '\0');
  int32_t len = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &len,
                     reinterpret_cast<const UChar*>(s.data()), static_cast<int32_t>(s.size()),
                     0xFFFD, nullptr, &err);
  out.resize(U_SUCCESS(err) ? static_cast<std::size_t>(len) : 0);
  return out;
}

std::optional<std::string> Text::utf8OrAbsent() const {
  if (!value_) return std::nullopt;
  return utf8();
}

}  // namespace zidevuv10
