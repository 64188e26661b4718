#include "zidevuv10/collection.h"

#include <cmath>

#include "dispatch/typed_slot.h"
#include "text/case_fold.h"
#include "zidevuv10/error.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

namespace {

std::string foldedKey(const Text& key) { return text::foldCase(key.utf8()); }

using namespace frame;

const ClassInfo kCollection{
    u"Collection",
    u"5d2f0c1e-8a43-4b6e-9f21-7c3e5a9b0d14",
    u"6e3a1d2f-9b54-4c7f-a032-8d4f6b0c1e25",
    {
        method<&Collection::Item>(u"Item", 0, u"Index"),
        method<&Collection::Add>(u"Add", 1, u"Item", optional(u"Key"), optional(u"Before"),
                                 optional(u"After")),
        method<&Collection::Count>(u"Count", 2),
        method<&Collection::Remove>(u"Remove", 3, u"Index"),
    }};

}  // namespace

const ClassInfo* Collection::classInfo() const { return &kCollection; }

std::size_t Collection::position(const Variant& index) const {
  if (index.type() == VarType::String) {
    const std::string folded = foldedKey(index.toText());
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      if (keyed_[i] && keys_[i] == folded) return i;
    }
    raiseError(err::kInvalidCall);
  }
  if (index.type() == VarType::Object || index.type() == VarType::Array) {
    raiseError(err::kTypeMismatch);
  }
  const int32_t n = index.toInt32();
  if (n < 1 || n > Count()) raiseError(err::kSubscriptOutOfRange);
  return static_cast<std::size_t>(n - 1);
}

void Collection::Add(const Variant& item, const Variant& key, const Variant& before,
                     const Variant& after) {
  const bool hasBefore = !before.isMissing();
  const bool hasAfter = !after.isMissing();
  if (hasBefore && hasAfter) raiseError(err::kInvalidCall);
  std::string folded;
  const bool keyed = !key.isMissing();
  if (keyed) {
    if (key.type() != VarType::String) raiseError(err::kTypeMismatch);
    folded = foldedKey(key.toText());
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      if (keyed_[i] && keys_[i] == folded) raiseError(err::kKeyAlreadyInCollection);
    }
  }
  std::size_t at = items_.size();
  if (hasBefore) at = position(before);
  if (hasAfter) at = position(after) + 1;
  const auto offset = static_cast<std::ptrdiff_t>(at);
  // The collection keeps the value itself, not a reference to the caller's variable.
  items_.insert(items_.begin() + offset, Variant(item.deref()));
  keys_.insert(keys_.begin() + offset, folded);
  keyed_.insert(keyed_.begin() + offset, keyed);
}

Variant Collection::Item(const Variant& index) const { return items_[position(index)]; }

void Collection::Remove(const Variant& index) {
  const auto offset = static_cast<std::ptrdiff_t>(position(index));
  items_.erase(items_.begin() + offset);
  keys_.erase(keys_.begin() + offset);
  keyed_.erase(keyed_.begin() + offset);
}

}  // namespace zidevuv10
