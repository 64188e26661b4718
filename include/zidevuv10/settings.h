// Typed default interface of clsOrviInifINIFilesObjC, the application
// settings object, for direct C++ calls, members in slot order: file and
// section selection with the WIN.INI switch and path utilities, typed
// entry reads and writes, section listing and deletion.
//
// Apartment rule: use an object on the thread that created it.
#pragma once

#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

// ExtractFileName_Constants: what ExtractName returns.
inline constexpr int32_t exnFullName = 1;  // the name without its extension
inline constexpr int32_t exnOnlyExtn = 2;  // the extension alone

class ZIDEVUV10_API _clsOrviInifINIFilesObjC : public Object {
 public:
  virtual Text get_PrivPath() = 0;
  virtual void let_UseWinINI(Bool16 bNewValue) = 0;
  virtual Bool16 get_UseWinINI() = 0;
  virtual void let_FullPath(const Text& sNewValue) = 0;
  virtual Text get_FullPath() = 0;
  virtual void let_SectionName(const Text& sNewValue) = 0;
  virtual Text get_SectionName() = 0;
  virtual Text get_FilePath() = 0;
  virtual Text get_FileExt() = 0;
  virtual Text ExtractName(const Text& PathIn, int32_t RetChoice) = 0;
  virtual Text ExtractPath(const Text& PathIn) = 0;
  virtual void DeleteStrEntry(const Text& EntryName) = 0;
  virtual void DeleteNumEntry(const Text& EntryName) = 0;
  virtual void DeleteSection() = 0;
  virtual int16_t Exists(const Text& filname) = 0;
  virtual int16_t GetInt(const Text& EntryName, int16_t DefaultInt) = 0;
  virtual Text GetSectEntries() = 0;
  virtual int16_t GetSectEntriesEx(SafeArray& DataArry) = 0;
  virtual Text GetSections() = 0;
  virtual int16_t GetSectionsEx(SafeArray& DataArry) = 0;
  virtual Text GetString(const Text& EntryName, const Text& DefaultStr) = 0;
  virtual Bool16 GetTF(const Text& EntryName, int16_t DefaultInt) = 0;
  virtual void FlushCache() = 0;
  virtual void IniRead(const Text& SectionName, const Text& EntryName, int16_t DefaultInt,
                       const Text& DefaultStr, const Text& ReturnStr, Bool16 ReadNumber,
                       const Text& FullPath) = 0;
  virtual void IniWrite(const Text& SectionName, const Text& EntryName, const Text& NewVal,
                        const Text& FullPath) = 0;
  virtual int16_t PutInt(const Text& EntryName, int16_t IntValue) = 0;
  virtual int16_t PutString(const Text& EntryName, const Text& StrValue) = 0;
  virtual Bool16 PutTF(const Text& EntryName, int16_t IntValue) = 0;
  virtual Bool16 SectExist(const Text& SectionName) = 0;
  virtual Text get_FileName() = 0;
};

}  // namespace zidevuv10
