// clsOrviInifINIFilesObjB: one entry of one file addressed through the
// object's properties; every store call is made with the fields current at
// that moment (no cache, no open file). Members that use other members of
// the class call them through the class's own (virtual) interface.
//
// Apartment rule: an object is used by the thread that created it.
#pragma once

#include "zidevuv10/addressed.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::addressed {

class AddressedObject final : public _clsOrviInifINIFilesObjB {
 public:
  const ClassInfo* classInfo() const override;

  int32_t get_LastReturnCode() override { return lastReturnCode_; }
  Bool16 get_Success() override { return lastReturnCode_ != 0 ? kTrue : kFalse; }
  void let_Default(Text& v) override { default_ = v; }
  Text get_Default() override { return default_; }
  void let_Path(Text& v) override { path_ = v; }
  Text get_Path() override { return path_; }
  void let_Key(Text& v) override { key_ = v; }
  Text get_Key() override { return key_; }
  void let_Section(Text& v) override { section_ = v; }
  Text get_Section() override { return section_; }
  Text get_Value() override;
  void let_Value(Text& v) override;
  void DeleteKey() override;
  void DeleteSection() override;
  Text get_INISection() override;
  void let_INISection(Text& v) override;
  Text get_Sections() override;
  void EnumerateCurrentSection(SafeArray& sKey, int32_t& iCount) override;
  void EnumerateAllSections(SafeArray& sSections, int32_t& iCount) override;
  void SaveFormPosition(ObjectRef& frmThis) override;
  void LoadFormPosition(ObjectRef& frmThis, Variant& lMinWidth, Variant& lMinHeight) override;
  int32_t CLngDefault(const Text& sString, int32_t lDefault) override;

 private:
  // One read of a name list or value through a buffer of `size` blanks.
  Text readList(bool withSection, bool withKey, std::size_t size);

  Text path_;
  Text section_;
  Text key_;
  Text default_;
  int32_t lastReturnCode_ = 0;
};

}  // namespace zidevuv10::addressed
