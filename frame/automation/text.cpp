#include "zidevuv10/text.h"

#include "text/utf8.h"

namespace zidevuv10 {

Text Text::fromUtf8(std::string_view utf8) { return Text(text::utf8ToUtf16(utf8)); }

const std::u16string& Text::str() const {
  static const std::u16string kEmpty;
  return value_ ? *value_ : kEmpty;
}

std::string Text::utf8() const { return text::utf16ToUtf8(str()); }

std::optional<std::string> Text::utf8OrAbsent() const {
  if (!value_) return std::nullopt;
  return utf8();
}

}  // namespace zidevuv10
