// Typed default interface of the main class clsOrviVEZEzoro10A for direct
// C++ calls, members in slot order: the framework members, the stateless
// profile wrappers, and the current entry with its four commands.
//
// By-reference parameters receive the text as the profile store saw it.
// Apartment rule: use an object on the thread that created it.
#pragma once

#include "zidevuv10/collection.h"
#include "zidevuv10/object.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

class ZIDEVUV10_API _clsOrviVEZEzoro10A : public Object {
 public:
  virtual ObjectRef get_GetProStdProperties() = 0;
  virtual Text get_GetProResStrings(int32_t& lResId) = 0;
  virtual ObjectRef get_GetProResPicture(int32_t& lResId, int32_t& lRestype) = 0;
  virtual Variant get_GetProResData(int32_t& lResId, Variant& vRestype) = 0;
  virtual int32_t About() = 0;
  virtual ObjectRef get_BuddyObjectGlobal() = 0;
  virtual void set_BuddyObjectGlobal(ObjectRef& oNewValue) = 0;
  virtual Text GetPrivateProfileStringInif(Text& sFileName, Text& sSectionName,
                                           Text& sKeyName) = 0;
  virtual Text GetPrivateProfileIntInif(Text& sFileName, Text& sSectionName, Text& sKeyName) = 0;
  virtual Ref<Collection> GetPrivateProfileStringSectionsInif(Text& sFileName) = 0;
  virtual Ref<Collection> GetPrivateProfileStringKeysInif(Text& sFileName,
                                                          Text& sSectionName) = 0;
  virtual Text GetPrivateProfileStringByKeyNameInif(Text& sFileName, Text& sSectionName,
                                                    Text& sKeyName) = 0;
  virtual int32_t WritePrivateProfileStringAddSectionInif(Text& sFileName,
                                                          Text& sSectionName) = 0;
  virtual int32_t WritePrivateProfileStringAddKeyInif(Text& sFileName, Text& sSectionName,
                                                      Text& sKeyName, Text& sKeyValue) = 0;
  virtual int32_t WritePrivateProfileStringToDeleteKeyInif(Text& sFileName, Text& sSectionName,
                                                           Text& sKeyName) = 0;
  virtual int32_t WritePrivateProfileStringToDeleteSectionInif(Text& sFileName,
                                                               Text& sSectionName) = 0;
  virtual Text get_INIFileName() = 0;
  virtual void let_INIFileName(const Text& sNewValue) = 0;
  virtual Text get_INISectionName() = 0;
  virtual void let_INISectionName(const Text& sNewValue) = 0;
  virtual Text get_INIKeyName() = 0;
  virtual void let_INIKeyName(const Text& sNewValue) = 0;
  virtual Text get_INIKeyValue() = 0;
  virtual void let_INIKeyValue(const Text& sNewValue) = 0;
  virtual int32_t INIAddSection() = 0;
  virtual int32_t INIDeleteSection() = 0;
  virtual int32_t INIAddKey() = 0;
  virtual int32_t INIDeleteKey() = 0;
};

}  // namespace zidevuv10
