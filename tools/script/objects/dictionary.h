// Scripting.Dictionary: items under unique keys, in the order they were
// added. Keys are texts (compared as CompareMode says: 0 binary, 1 without
// regard to case), numbers (1, 1.0 and True's -1 compare by value; a number
// never equals a text), Empty or objects (the same object). For Each walks
// the keys.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <list>
#include <string>
#include <unordered_map>

#include "host_objects.h"
#include "objects/enumerable.h"

namespace zidevuv10::script {

class ScriptDictionary final : public HostObject, public Enumerable {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Dictionary"; }
  std::vector<Variant> enumerate() const override;

  // Members. Add of a key already there is error 457; Item of a missing key
  // adds it (Empty on a read); Key and Remove of a missing key are 32811.
  void Add(const Variant& key, const Variant& item);
  Variant get_Item(const Variant& key);
  void let_Item(const Variant& key, const Variant& item);
  void let_Key(const Variant& key, const Variant& newKey);
  bool exists(const Variant& key) const;
  int16_t Exists(const Variant& key) const { return exists(key) ? -1 : 0; }
  void Remove(const Variant& key);
  void RemoveAll();
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  Variant Keys() const;
  Variant Items() const;
  int32_t get_CompareMode() const { return compareMode_; }
  // Error 5 once the dictionary holds items, or for a mode below 0.
  void let_CompareMode(int32_t mode);

 private:
  struct Entry {
    Variant key;
    Variant item;
    std::u16string identity;
  };
  // What makes two keys the same key; error 13 for an array.
  std::u16string identityOf(const Variant& key) const;
  std::list<Entry>::iterator find(const Variant& key);
  void add(const Variant& key, const Variant& item);

  std::list<Entry> entries_;
  std::unordered_map<std::u16string, std::list<Entry>::iterator> index_;
  int32_t compareMode_ = 0;
};

}  // namespace zidevuv10::script
