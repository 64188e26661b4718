// Text of the automation layer: a counted string of UTF-16 code units that
// is either unset (a null string) or holds text, possibly empty. Unset and
// empty stay distinct end to end; clients read an unset text as empty.
//
// Values; safe to use from any thread, like std::u16string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "zidevuv10/export.h"

namespace zidevuv10 {

class ZIDEVUV10_API Text {
 public:
  Text() = default;  // unset
  Text(std::u16string s) : value_(std::move(s)) {}  // NOLINT: text from a literal reads naturally
  Text(const char16_t* s) : value_(s ? std::optional<std::u16string>(s) : std::nullopt) {}  // NOLINT

  static Text unset() { return Text(); }
  static Text empty() { return Text(std::u16string()); }
  // From UTF-8; invalid bytes become U+FFFD.
  static Text fromUtf8(std::string_view utf8);
  static Text fromUtf8OrUnset(const std::optional<std::string>& utf8) {
    return utf8 ? fromUtf8(std::string_view(*utf8)) : Text();
  }

  bool isUnset() const { return !value_.has_value(); }
  // The text, empty when unset.
  const std::u16string& str() const;
  std::size_t size() const { return value_ ? value_->size() : 0; }
  // UTF-8 form; unpaired surrogates become U+FFFD. Unset gives "".
  std::string utf8() const;
  // UTF-8 form, or nullopt when unset (how the profile store sees an absent argument).
  std::optional<std::string> utf8OrAbsent() const;

  // Appends in place (an unset text becomes set); amortised linear, so a
  // text built by repeated appends costs its length, not its square.
  Text& append(std::u16string_view more) {
    if (!value_) value_.emplace();
    value_->append(more);
    return *this;
  }

  // Equal when both are unset or both hold the same text.
  bool operator==(const Text& other) const = default;

 private:
  std::optional<std::u16string> value_;
};

}  // namespace zidevuv10
