#include "zidevuv10/collection.h"

#include <cmath>

#include "text/case_fold.h"
#include "zidevuv10/error.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

namespace {

std::string foldedKey(const Text& key) { return text::foldCase(key.utf8()); }

const ParamInfo kOptionalVariant(std::u16string_view name) {
  return ParamInfo{name, {TypeCode::Variant, {}}, false, true};
}

const ClassInfo kCollection{
    u"Collection",
    u"5d2f0c1e-8a43-4b6e-9f21-7c3e5a9b0d14",
    u"6e3a1d2f-9b54-4c7f-a032-8d4f6b0c1e25",
    {
        {u"Item", InvokeKind::Method, 0, {{u"Index", {TypeCode::Variant, {}}}},
         {TypeCode::Variant, {}},
         [](Object& o, CallArgs& a) { return static_cast<Collection&>(o).Item(a.variant(0)); }},
        {u"Add", InvokeKind::Method, 1,
         {{u"Item", {TypeCode::Variant, {}}}, kOptionalVariant(u"Key"),
          kOptionalVariant(u"Before"), kOptionalVariant(u"After")},
         {},
         [](Object& o, CallArgs& a) {
           static_cast<Collection&>(o).Add(a.variant(0), a.variant(1), a.variant(2),
                                           a.variant(3));
           return Variant();
         }},
        {u"Count", InvokeKind::Method, 2, {}, {TypeCode::Int32, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<Collection&>(o).Count()); }},
        {u"Remove", InvokeKind::Method, 3, {{u"Index", {TypeCode::Variant, {}}}}, {},
         [](Object& o, CallArgs& a) {
           static_cast<Collection&>(o).Remove(a.variant(0));
           return Variant();
         }},
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
