// clsOrviVEZEzoro10A, the main class: framework members, stateless profile
// wrappers and the current entry. Members that use other members of the
// class call them through the class's own (virtual) interface.
//
// Apartment rule: an object is used by the thread that created it.
#pragma once

#include "zidevuv10/main_class.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::main_class {

class MainClass final : public _clsOrviVEZEzoro10A {
 public:
  const ClassInfo* classInfo() const override;

  // Framework members.
  ObjectRef get_GetProStdProperties() override;
  Text get_GetProResStrings(int32_t& lResId) override;
  ObjectRef get_GetProResPicture(int32_t& lResId, int32_t& lRestype) override;
  Variant get_GetProResData(int32_t& lResId, Variant& vRestype) override;
  int32_t About() override;
  ObjectRef get_BuddyObjectGlobal() override;
  void set_BuddyObjectGlobal(ObjectRef& oNewValue) override;

  // Stateless profile wrappers.
  Text GetPrivateProfileStringInif(Text& sFileName, Text& sSectionName, Text& sKeyName) override;
  Text GetPrivateProfileIntInif(Text& sFileName, Text& sSectionName, Text& sKeyName) override;
  Ref<Collection> GetPrivateProfileStringSectionsInif(Text& sFileName) override;
  Ref<Collection> GetPrivateProfileStringKeysInif(Text& sFileName, Text& sSectionName) override;
  Text GetPrivateProfileStringByKeyNameInif(Text& sFileName, Text& sSectionName,
                                            Text& sKeyName) override;
  int32_t WritePrivateProfileStringAddSectionInif(Text& sFileName, Text& sSectionName) override;
  int32_t WritePrivateProfileStringAddKeyInif(Text& sFileName, Text& sSectionName, Text& sKeyName,
                                              Text& sKeyValue) override;
  int32_t WritePrivateProfileStringToDeleteKeyInif(Text& sFileName, Text& sSectionName,
                                                   Text& sKeyName) override;
  int32_t WritePrivateProfileStringToDeleteSectionInif(Text& sFileName,
                                                       Text& sSectionName) override;

  // Current entry.
  Text get_INIFileName() override { return fileName_; }
  void let_INIFileName(const Text& v) override { fileName_ = v; }
  Text get_INISectionName() override { return sectionName_; }
  void let_INISectionName(const Text& v) override { sectionName_ = v; }
  Text get_INIKeyName() override { return keyName_; }
  void let_INIKeyName(const Text& v) override { keyName_ = v; }
  Text get_INIKeyValue() override { return keyValue_; }
  void let_INIKeyValue(const Text& v) override { keyValue_ = v; }
  int32_t INIAddSection() override;
  int32_t INIDeleteSection() override;
  int32_t INIAddKey() override;
  int32_t INIDeleteKey() override;

 private:
  Text fileName_;
  Text sectionName_;
  Text keyName_;
  Text keyValue_;
};

}  // namespace zidevuv10::main_class
