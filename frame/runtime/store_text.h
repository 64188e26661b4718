// Text on its way to the profile store: the store takes UTF-8 and an absent
// argument for an unset text.
//
// StoreText only reads its text. StoreTextByRef stands for a by-reference
// argument: when the member leaves normally, the caller's variable holds
// the text as the store saw it (an unpaired surrogate comes back as
// U+FFFD); when the member leaves by an exception, the variable keeps what
// it held, as it does when the store is never reached.
//
// Values; used on one thread.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "store/profile_store.h"
#include "zidevuv10/text.h"

namespace zidevuv10::frame {

class StoreText {
 public:
  explicit StoreText(const Text& t) : value_(t.utf8OrAbsent()) {}
  // The store's argument: UTF-8, or absent for an unset text.
  store::OptText arg() const { return value_ ? store::OptText(*value_) : std::nullopt; }

 protected:
  const std::optional<std::string>& value() const { return value_; }

 private:
  std::optional<std::string> value_;
};

class StoreTextByRef : public StoreText {
 public:
  // The text to give back is made here, so giving it back cannot fail.
  explicit StoreTextByRef(Text& t)
      : StoreText(t), variable_(t), back_(Text::fromUtf8OrUnset(value())) {}
  ~StoreTextByRef() {
    if (std::uncaught_exceptions() == unwinding_) variable_ = std::move(back_);
  }
  StoreTextByRef(const StoreTextByRef&) = delete;
  StoreTextByRef& operator=(const StoreTextByRef&) = delete;

 private:
  Text& variable_;
  Text back_;
  // Exceptions in flight when made: more at the end means the member is
  // leaving by one.
  const int unwinding_ = std::uncaught_exceptions();
};

}  // namespace zidevuv10::frame
