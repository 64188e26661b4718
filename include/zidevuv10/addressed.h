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
  // The result of the last write (Value let, deletes, INISection let): 0 failed.
  virtual int32_t get_LastReturnCode() = 0;
  // True when LastReturnCode is not 0.
  virtual Bool16 get_Success() = 0;
  // Sets the text Value answers for a missing key.
  virtual void let_Default(Text& sNewValue) = 0;
  // The text Value answers for a missing key.
  virtual Text get_Default() = 0;
  // Sets the file the entry lives in.
  virtual void let_Path(Text& sNewValue) = 0;
  // The file the entry lives in.
  virtual Text get_Path() = 0;
  // Sets the entry's key.
  virtual void let_Key(Text& sNewValue) = 0;
  // The entry's key.
  virtual Text get_Key() = 0;
  // Sets the entry's section.
  virtual void let_Section(Text& sNewValue) = 0;
  // The entry's section.
  virtual Text get_Section() = 0;
  // Reads the addressed entry (Default when missing; key names without a Key).
  virtual Text get_Value() = 0;
  // Writes the addressed entry (NULs dropped; unset text deletes the key).
  virtual void let_Value(Text& sNewValue) = 0;
  // Deletes the addressed key; the result goes to LastReturnCode.
  virtual void DeleteKey() = 0;
  // Deletes the addressed section; the result goes to LastReturnCode.
  virtual void DeleteSection() = 0;
  // The current section's key names as one NUL-separated text.
  virtual Text get_INISection() = 0;
  // Replaces the section's entries with the key=value lines of the text; result to LastReturnCode.
  virtual void let_INISection(Text& sNewValue) = 0;
  // The file's section names as one NUL-separated text.
  virtual Text get_Sections() = 0;
  // Fills sKey with the current section's key names and iCount with their number.
  virtual void EnumerateCurrentSection(SafeArray& sKey, int32_t& iCount) = 0;
  // Fills sSections with the file's section names and iCount with their number.
  virtual void EnumerateAllSections(SafeArray& sSections, int32_t& iCount) = 0;
  // Stores the window's state and position in the addressed section.
  virtual void SaveFormPosition(ObjectRef& frmThis) = 0;
// Restores a window's stored state and position, at least the minimum sizes.
  // Omitted minimum sizes are Variant::missing() (3000 twips each).
  virtual void LoadFormPosition(ObjectRef& frmThis, Variant& lMinWidth, Variant& lMinHeight) = 0;
  // The text as a 32-bit integer, or lDefault when it is none; never fails.
  virtual int32_t CLngDefault(const Text& sString, int32_t lDefault) = 0;
};

}  // namespace zidevuv10
