// The host runtime's Collection: a 1-based ordered list of Variants, each
// with an optional key that is matched without regard to case. Usable by
// dispatch (Item, Add, Count, Remove) and directly from C++, including
// range-for over the items in order.
//
// Apartment rule: used by one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zidevuv10/object.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

class ZIDEVUV10_API Collection final : public Object {
 public:
  // Adds an item, with an optional text key (error 457 when the key is
  // taken, 13 for a key that is not text), before or after an existing item
  // (error 5 when both are given).
  void Add(const Variant& item, const Variant& key = Variant::missing(),
           const Variant& before = Variant::missing(), const Variant& after = Variant::missing());
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // The item at a 1-based position (error 9 outside 1..Count) or with a key
  // (error 5 when no item has it).
  Variant Item(const Variant& index) const;
  void Remove(const Variant& index);

  std::vector<Variant>::const_iterator begin() const { return items_.begin(); }
  std::vector<Variant>::const_iterator end() const { return items_.end(); }

  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Collection"; }

 private:
  std::size_t position(const Variant& index) const;

  std::vector<Variant> items_;
  std::vector<std::string> keys_;  // folded key, empty when the item has none
  std::vector<bool> keyed_;
};

}  // namespace zidevuv10
