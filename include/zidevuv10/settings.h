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
  // The private file last set through FullPath (kept while on WIN.INI).
  virtual Text get_PrivPath() = 0;
  // Non-zero: work on WIN.INI; 0: back to the private file.
  virtual void let_UseWinINI(Bool16 bNewValue) = 0;
  // Whether the object works on WIN.INI (the value last set).
  virtual Bool16 get_UseWinINI() = 0;
  // Sets the private file to work on (and leaves WIN.INI).
  virtual void let_FullPath(const Text& sNewValue) = 0;
  // The file store operations use now: the private file or WIN.INI.
  virtual Text get_FullPath() = 0;
  // Sets the current section; a blank name makes the guarded members refuse.
  virtual void let_SectionName(const Text& sNewValue) = 0;
  // The current section, as set.
  virtual Text get_SectionName() = 0;
  // The folder of FullPath.
  virtual Text get_FilePath() = 0;
  // The extension of FullPath.
  virtual Text get_FileExt() = 0;
  // The file name of PathIn (FullPath when empty): without extension, or it alone.
  virtual Text ExtractName(const Text& PathIn, int32_t RetChoice) = 0;
  // The folder of PathIn (FullPath when empty), without a trailing backslash.
  virtual Text ExtractPath(const Text& PathIn) = 0;
  // Empties the entry's value (the key stays).
  virtual void DeleteStrEntry(const Text& EntryName) = 0;
  // Removes the entry from the current section.
  virtual void DeleteNumEntry(const Text& EntryName) = 0;
  // Removes every entry of the current section.
  virtual void DeleteSection() = 0;
  // -1 when a file matching filname (".*" added without a dot) exists, else 0.
  virtual int16_t Exists(const Text& filname) = 0;
  // The entry as a 16-bit integer, DefaultInt when missing (error 6 beyond 16 bits).
  virtual int16_t GetInt(const Text& EntryName, int16_t DefaultInt) = 0;
  // The current section's key=value entries as NUL-separated text.
  virtual Text GetSectEntries() = 0;
  // Fills DataArry(0..1, i) with each entry's key and value; their number.
  virtual int16_t GetSectEntriesEx(SafeArray& DataArry) = 0;
  // The file's section names, read from the file, as NUL-separated text.
  virtual Text GetSections() = 0;
  // Fills DataArry with the file's section names; their number.
  virtual int16_t GetSectionsEx(SafeArray& DataArry) = 0;
  // The entry's value (cut to 254 characters), DefaultStr when missing.
  virtual Text GetString(const Text& EntryName, const Text& DefaultStr) = 0;
  // The entry read as a truth value (Yes/On/True/-1/T), DefaultInt when missing.
  virtual Bool16 GetTF(const Text& EntryName, int16_t DefaultInt) = 0;
  // Makes every earlier write of the file durable.
  virtual void FlushCache() = 0;
  // Reads an entry of any file; every argument is by value, so nothing comes back.
  virtual void IniRead(const Text& SectionName, const Text& EntryName, int16_t DefaultInt,
                       const Text& DefaultStr, const Text& ReturnStr, Bool16 ReadNumber,
                       const Text& FullPath) = 0;
  // Writes NewVal into any section of any file (WIN.INI when switched on).
  virtual void IniWrite(const Text& SectionName, const Text& EntryName, const Text& NewVal,
                        const Text& FullPath) = 0;
  // Writes the entry as a decimal number; the store's result (0: failed).
  virtual int16_t PutInt(const Text& EntryName, int16_t IntValue) = 0;
  // Writes the entry's text (unset: deletes the entry); the store's result.
  virtual int16_t PutString(const Text& EntryName, const Text& StrValue) = 0;
  // Writes "True" or "False"; whether the write was done.
  virtual Bool16 PutTF(const Text& EntryName, int16_t IntValue) = 0;
  // Whether the file has a section of exactly that name, case ignored.
  virtual Bool16 SectExist(const Text& SectionName) = 0;
  // The file name of FullPath without its extension.
  virtual Text get_FileName() = 0;
};

}  // namespace zidevuv10
