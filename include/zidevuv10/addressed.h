// Typed default interface of clsOrviInifINIFilesObjB for direct C++ calls,
// members in slot order: an entry addressed by Path, Section and Key, read
// and written through Value, with the result of every write kept in
// LastReturnCode; name lists and their enumeration; window placement.
//
// Apartment rule: use an object on the thread that created it.
#pragma once

#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

class ZIDEVUV10_API _clsOrviInifINIFilesObjB : public Object {
 public:
  virtual int32_t get_LastReturnCode() = 0;
  virtual Bool16 get_Success() = 0;
  virtual void let_Default(Text& sNewValue) = 0;
  virtual Text get_Default() = 0;
  virtual void let_Path(Text& sNewValue) = 0;
  virtual Text get_Path() = 0;
  virtual void let_Key(Text& sNewValue) = 0;
  virtual Text get_Key() = 0;
  virtual void let_Section(Text& sNewValue) = 0;
  virtual Text get_Section() = 0;
  virtual Text get_Value() = 0;
  virtual void let_Value(Text& sNewValue) = 0;
  virtual void DeleteKey() = 0;
  virtual void DeleteSection() = 0;
  virtual Text get_INISection() = 0;
  virtual void let_INISection(Text& sNewValue) = 0;
  virtual Text get_Sections() = 0;
  virtual void EnumerateCurrentSection(SafeArray& sKey, int32_t& iCount) = 0;
  virtual void EnumerateAllSections(SafeArray& sSections, int32_t& iCount) = 0;
  virtual void SaveFormPosition(ObjectRef& frmThis) = 0;
  // Omitted minimum sizes are Variant::missing() (3000 twips each).
  virtual void LoadFormPosition(ObjectRef& frmThis, Variant& lMinWidth, Variant& lMinHeight) = 0;
  virtual int32_t CLngDefault(const Text& sString, int32_t lDefault) = 0;
};

}  // namespace zidevuv10
