// Text on its way to the profile store and back: the store takes UTF-8 and
// an absent argument for an unset text; afterwards the caller's variable
// holds the text as the store saw it.
//
// A value type; used on one thread.
#pragma once

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
  // Gives the caller's variable the text the store saw.
  void giveBack(Text& t) const { t = Text::fromUtf8OrUnset(value_); }

 private:
  std::optional<std::string> value_;
};

}  // namespace zidevuv10::frame
