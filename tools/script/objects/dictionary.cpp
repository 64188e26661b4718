// Scripting.Dictionary and its member table.
#include "objects/dictionary.h"

#include <cstring>

#include "objects/object_errors.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::propGet;
using frame::propLet;
using frame::propSet;

// Latin-1 letters without regard to case, as text comparison matches them.
char16_t folded(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c;
}

ClassInfo makeDictionaryClass() {
  return ClassInfo{u"Dictionary",
                   u"ee09b103-97e0-11cf-978f-00a02463e06f",
                   u"42c642c1-97e1-11cf-978f-00a02463e06f",
                   {
                       propGet<&ScriptDictionary::get_Item>(u"Item", 0, u"Key"),
                       propLet<&ScriptDictionary::let_Item>(u"Item", 0, u"Key", u"pRetItem"),
                       propSet<&ScriptDictionary::let_Item>(u"Item", 0, u"Key", u"pRetItem"),
                       method<&ScriptDictionary::Add>(u"Add", 1, u"Key", u"Item"),
                       propGet<&ScriptDictionary::Count>(u"Count", 2),
                       method<&ScriptDictionary::Exists, frame::Boolean>(u"Exists", 3, u"Key"),
                       method<&ScriptDictionary::Items>(u"Items", 4),
                       propLet<&ScriptDictionary::let_Key>(u"Key", 5, u"Key", u"rhs"),
                       method<&ScriptDictionary::Keys>(u"Keys", 6),
                       method<&ScriptDictionary::Remove>(u"Remove", 7, u"Key"),
                       method<&ScriptDictionary::RemoveAll>(u"RemoveAll", 8),
                       propGet<&ScriptDictionary::get_CompareMode>(u"CompareMode", 9),
                       propLet<&ScriptDictionary::let_CompareMode>(u"CompareMode", 9, u"pcomp"),
                   }};
}

Variant arrayOf(const std::vector<Variant>& values) {
  auto array = std::make_shared<SafeArray>(SafeArray::ElementType::Variant);
  array->redim({ArrayBound{0, static_cast<int32_t>(values.size()) - 1}}, false);
  for (std::size_t i = 0; i < values.size(); ++i) array->at(static_cast<int32_t>(i)) = values[i];
  return Variant(array);
}

}  // namespace

const ClassInfo* ScriptDictionary::classInfo() const {
  static const ClassInfo info = makeDictionaryClass();
  return &info;
}

std::u16string ScriptDictionary::identityOf(const Variant& key) const {
  const Variant& k = key.deref();
  switch (k.type()) {
    case VarType::Empty: return u"e";
    case VarType::Null: return u"z";
    case VarType::String: {
      std::u16string s = u"s" + k.text().str();
      if (compareMode_ != 0) {
        for (char16_t& c : s) c = folded(c);
      }
      return s;
    }
    case VarType::Object: {
      const auto address = reinterpret_cast<std::uintptr_t>(k.toObject().get());
      return u"o" + Text::fromUtf8(std::to_string(address)).str();
    }
    case VarType::Array:
    case VarType::Missing: raiseObjectError(err::kTypeMismatch);
    default: {
      // Numbers by value: 1, 1.0 and CLng(1) are one key.
      double d = k.toDouble();
      if (d == 0) d = 0;  // -0 is 0
      char bits[sizeof d];
      std::memcpy(bits, &d, sizeof d);
      std::u16string s = u"n";
      for (const char b : bits) s += static_cast<char16_t>(static_cast<unsigned char>(b));
      return s;
    }
  }
}

std::list<ScriptDictionary::Entry>::iterator ScriptDictionary::find(const Variant& key) {
  const auto it = index_.find(identityOf(key));
  return it == index_.end() ? entries_.end() : it->second;
}

void ScriptDictionary::add(const Variant& key, const Variant& item) {
  std::u16string identity = identityOf(key);
  entries_.push_back(Entry{Variant(key.deref()), Variant(item.deref()), identity});
  index_.emplace(std::move(identity), std::prev(entries_.end()));
}

void ScriptDictionary::Add(const Variant& key, const Variant& item) {
  if (find(key) != entries_.end()) raiseObjectError(err::kKeyAlreadyInCollection);
  add(key, item);
}

Variant ScriptDictionary::get_Item(const Variant& key) {
  const auto it = find(key);
  if (it != entries_.end()) return it->item;
  add(key, Variant());
  return Variant();
}

void ScriptDictionary::let_Item(const Variant& key, const Variant& item) {
  const auto it = find(key);
  if (it == entries_.end()) return add(key, item);
  it->item = Variant(item.deref());
}

void ScriptDictionary::let_Key(const Variant& key, const Variant& newKey) {
  const auto it = find(key);
  if (it == entries_.end()) raiseObjectError(err::kElementNotFound);
  std::u16string identity = identityOf(newKey);
  if (identity == it->identity) {
    it->key = Variant(newKey.deref());
    return;
  }
  if (index_.contains(identity)) raiseObjectError(err::kKeyAlreadyInCollection);
  index_.erase(it->identity);
  it->key = Variant(newKey.deref());
  it->identity = identity;
  index_.emplace(std::move(identity), it);
}

bool ScriptDictionary::exists(const Variant& key) const {
  return index_.contains(identityOf(key));
}

void ScriptDictionary::Remove(const Variant& key) {
  const auto it = find(key);
  if (it == entries_.end()) raiseObjectError(err::kElementNotFound);
  index_.erase(it->identity);
  entries_.erase(it);
}

void ScriptDictionary::RemoveAll() {
  index_.clear();
  entries_.clear();
}

Variant ScriptDictionary::Keys() const { return arrayOf(enumerate()); }

Variant ScriptDictionary::Items() const {
  std::vector<Variant> items;
  for (const Entry& e : entries_) items.push_back(e.item);
  return arrayOf(items);
}

std::vector<Variant> ScriptDictionary::enumerate() const {
  std::vector<Variant> keys;
  for (const Entry& e : entries_) keys.push_back(e.key);
  return keys;
}

void ScriptDictionary::let_CompareMode(int32_t mode) {
  if (mode < 0 || !entries_.empty()) raiseObjectError(err::kInvalidCall);
  compareMode_ = mode;
}

}  // namespace zidevuv10::script
