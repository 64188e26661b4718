// Typed default interfaces for direct C++ calls, members in slot order:
// the in-memory object model (root, sections and keys with their
// containers) and the three classes without members.
//
// Obtain objects with createObject and objectAs<_clsOrviInifKeyA>(...).
// Apartment rule: use an object on the thread that created it.
#pragma once

#include "zidevuv10/object.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

// Classes without members.
class ZIDEVUV10_API _clsOrviInifGeneralA : public Object {};
class ZIDEVUV10_API _clsOrviInifAdvancedA : public Object {};
class ZIDEVUV10_API _clsOrviInifHeaderA : public Object {};

class ZIDEVUV10_API _clsOrviInifKeyA : public Object {
 public:
  // The key's name, exactly as stored (unset reads as empty).
  virtual Text get_NameLong() = 0;
  // Sets the key's name.
  virtual void let_NameLong(const Text& sNewValue) = 0;
  // The key's value, exactly as stored.
  virtual Text get_Value() = 0;
  // Sets the key's value.
  virtual void let_Value(const Text& sNewValue) = 0;
};

class ZIDEVUV10_API _clsOrviInifKeysA : public Object {
 public:
  // Does nothing and returns 0: the container holds no items.
  virtual int32_t Add() = 0;
  // Does nothing.
  virtual void Clear() = 0;
  // Does nothing.
  virtual void Remove() = 0;
  // Always 0.
  virtual int32_t get_Count() = 0;
  // Always no object; Index is neither read nor changed.
  virtual Ref<_clsOrviInifKeyA> get_Item(Variant& Index) = 0;
};

class ZIDEVUV10_API _clsOrviInifSectionA : public Object {
 public:
  // The section's name, exactly as stored (unset reads as empty).
  virtual Text get_NameLong() = 0;
  // Sets the section's name.
  virtual void let_NameLong(const Text& sNewValue) = 0;
  // The keys container set last (no object at first).
  virtual Ref<_clsOrviInifKeysA> get_Keys() = 0;
  // Holds that very keys container (or none), releasing the one before.
  virtual void set_Keys(const Ref<_clsOrviInifKeysA>& oNewValue) = 0;
};

class ZIDEVUV10_API _clsOrviInifSectionsA : public Object {
 public:
  // Does nothing and returns 0: the container holds no items.
  virtual int32_t Add() = 0;
  // Does nothing.
  virtual void Clear() = 0;
  // Does nothing.
  virtual void Remove() = 0;
  // Always 0.
  virtual int32_t get_Count() = 0;
  // Always no object; Index is neither read nor changed.
  virtual Ref<_clsOrviInifSectionA> get_Item(Variant& Index) = 0;
};

class ZIDEVUV10_API _clsOrviInifINIFilesObjA : public Object {
 public:
  // The sections container set last (no object at first).
  virtual Ref<_clsOrviInifSectionsA> get_Sections() = 0;
  // Holds that very sections container (or none), releasing the one before.
  virtual void set_Sections(const Ref<_clsOrviInifSectionsA>& oNewValue) = 0;
};

}  // namespace zidevuv10
