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

class ZIDEVUV10_API _clsOrviInifGeneralA : public Object {};
class ZIDEVUV10_API _clsOrviInifAdvancedA : public Object {};
class ZIDEVUV10_API _clsOrviInifHeaderA : public Object {};

class ZIDEVUV10_API _clsOrviInifKeyA : public Object {
 public:
  virtual Text get_NameLong() = 0;
  virtual void let_NameLong(const Text& sNewValue) = 0;
  virtual Text get_Value() = 0;
  virtual void let_Value(const Text& sNewValue) = 0;
};

class ZIDEVUV10_API _clsOrviInifKeysA : public Object {
 public:
  virtual int32_t Add() = 0;
  virtual void Clear() = 0;
  virtual void Remove() = 0;
  virtual int32_t get_Count() = 0;
  virtual Ref<_clsOrviInifKeyA> get_Item(Variant& Index) = 0;
};

class ZIDEVUV10_API _clsOrviInifSectionA : public Object {
 public:
  virtual Text get_NameLong() = 0;
  virtual void let_NameLong(const Text& sNewValue) = 0;
  virtual Ref<_clsOrviInifKeysA> get_Keys() = 0;
  virtual void set_Keys(const Ref<_clsOrviInifKeysA>& oNewValue) = 0;
};

class ZIDEVUV10_API _clsOrviInifSectionsA : public Object {
 public:
  virtual int32_t Add() = 0;
  virtual void Clear() = 0;
  virtual void Remove() = 0;
  virtual int32_t get_Count() = 0;
  virtual Ref<_clsOrviInifSectionA> get_Item(Variant& Index) = 0;
};

class ZIDEVUV10_API _clsOrviInifINIFilesObjA : public Object {
 public:
  virtual Ref<_clsOrviInifSectionsA> get_Sections() = 0;
  virtual void set_Sections(const Ref<_clsOrviInifSectionsA>& oNewValue) = 0;
};

}  // namespace zidevuv10
