// clsOrviInifINIFilesObjC: bound to one settings file (by default the one
// named after the library, beside it) and one current section, or to
// WIN.INI while the switch is on. Members that use other members of the
// class call them through the class's own (virtual) interface.
//
// Apartment rule: an object is used by the thread that created it.
#pragma once

#include "services/services.h"
#include "store/profile_store.h"
#include "zidevuv10/settings.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::settings {

class SettingsObject final : public _clsOrviInifINIFilesObjC {
 public:
  SettingsObject();
  const ClassInfo* classInfo() const override;

  Text get_PrivPath() override { return privPath_; }
  void let_UseWinINI(Bool16 v) override;
  Bool16 get_UseWinINI() override { return useWinIni_; }
  void let_FullPath(const Text& v) override;
  Text get_FullPath() override { return fullPath_; }
  void let_SectionName(const Text& v) override;
  Text get_SectionName() override { return sectionName_; }
  Text get_FilePath() override { return filePath_; }
  Text get_FileExt() override { return fileExt_; }
  Text ExtractName(const Text& PathIn, int32_t RetChoice) override;
  Text ExtractPath(const Text& PathIn) override;
  void DeleteStrEntry(const Text& EntryName) override;
  void DeleteNumEntry(const Text& EntryName) override;
  void DeleteSection() override;
  int16_t Exists(const Text& filname) override;
  int16_t GetInt(const Text& EntryName, int16_t DefaultInt) override;
  Text GetSectEntries() override;
  int16_t GetSectEntriesEx(SafeArray& DataArry) override;
  Text GetSections() override;
  int16_t GetSectionsEx(SafeArray& DataArry) override;
  Text GetString(const Text& EntryName, const Text& DefaultStr) override;
  Bool16 GetTF(const Text& EntryName, int16_t DefaultInt) override;
  void FlushCache() override;
  void IniRead(const Text& SectionName, const Text& EntryName, int16_t DefaultInt,
               const Text& DefaultStr, const Text& ReturnStr, Bool16 ReadNumber,
               const Text& FullPath) override;
  void IniWrite(const Text& SectionName, const Text& EntryName, const Text& NewVal,
                const Text& FullPath) override;
  int16_t PutInt(const Text& EntryName, int16_t IntValue) override;
  int16_t PutString(const Text& EntryName, const Text& StrValue) override;
  Bool16 PutTF(const Text& EntryName, int16_t IntValue) override;
  Bool16 SectExist(const Text& SectionName) override;
  Text get_FileName() override { return fileName_; }

 private:
  // The section guard: false (after the message box) while no section is registered.
  bool sectionGuard();
  // The file argument of a store call: WIN.INI in WIN.INI mode, else FullPath.
  std::optional<std::string> storeFile() const;

  Text sectionName_;
  Text fullPath_;
  Text privPath_;
  Text filePath_;
  Text fileName_;
  Text fileExt_;
  bool sectionRegistered_ = false;
  Bool16 useWinIni_ = kFalse;
};

// The profile store, and a file argument as the store takes it.
inline std::shared_ptr<store::ProfileStore> profileStore() { return services::store(); }
inline store::OptText fileArg(const std::optional<std::string>& file) {
  return file ? store::OptText(*file) : std::nullopt;
}

// Text helpers shared by the settings members.
Text trimSpaces(const Text& t);
Text upperCase(const Text& t);

}  // namespace zidevuv10::settings
