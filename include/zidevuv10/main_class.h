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
  // The library's application object App (its folder, file name, version).
  virtual ObjectRef get_GetProStdProperties() = 0;
  // The string resource lResId of the library's own file.
  virtual Text get_GetProResStrings(int32_t& lResId) = 0;
  // The picture resource lResId of kind lRestype (error 6 outside 16 bits).
  virtual ObjectRef get_GetProResPicture(int32_t& lResId, int32_t& lRestype) = 0;
  // The custom resource lResId of type vRestype.
  virtual Variant get_GetProResData(int32_t& lResId, Variant& vRestype) = 0;
  // Hands App to the sibling library's About service; errors are reported there; 0.
  virtual int32_t About() = 0;
  // The object reference all objects of this thread share (none at first).
  virtual ObjectRef get_BuddyObjectGlobal() = 0;
  // Replaces the thread's shared object reference (none allowed).
  virtual void set_BuddyObjectGlobal(ObjectRef& oNewValue) = 0;
  // The key's value (empty when missing), cut to 254 characters.
  virtual Text GetPrivateProfileStringInif(Text& sFileName, Text& sSectionName,
                                           Text& sKeyName) = 0;
  // The key's integer value as decimal text, "0" when missing.
  virtual Text GetPrivateProfileIntInif(Text& sFileName, Text& sSectionName, Text& sKeyName) = 0;
  // The file's section names, in file order (at most 127 characters of list).
  virtual Ref<Collection> GetPrivateProfileStringSectionsInif(Text& sFileName) = 0;
  // The section's key names, in file order (at most 127 characters of list).
  virtual Ref<Collection> GetPrivateProfileStringKeysInif(Text& sFileName,
                                                          Text& sSectionName) = 0;
  // The key's value (empty when missing), cut to 126 characters.
  virtual Text GetPrivateProfileStringByKeyNameInif(Text& sFileName, Text& sSectionName,
                                                    Text& sKeyName) = 0;
  // Adds the section with the placeholder entry 0=0; the store's result (0: failed).
  virtual int32_t WritePrivateProfileStringAddSectionInif(Text& sFileName,
                                                          Text& sSectionName) = 0;
  // Writes key=value into the section; the store's result (0: failed).
  virtual int32_t WritePrivateProfileStringAddKeyInif(Text& sFileName, Text& sSectionName,
                                                      Text& sKeyName, Text& sKeyValue) = 0;
  // Deletes the key; the store's result (0: failed).
  virtual int32_t WritePrivateProfileStringToDeleteKeyInif(Text& sFileName, Text& sSectionName,
                                                           Text& sKeyName) = 0;
  // Deletes the section with all its entries; the store's result (0: failed).
  virtual int32_t WritePrivateProfileStringToDeleteSectionInif(Text& sFileName,
                                                               Text& sSectionName) = 0;
  // The current entry's file (plain storage, never read from the file).
  virtual Text get_INIFileName() = 0;
  // Sets the current entry's file; touches no file.
  virtual void let_INIFileName(const Text& sNewValue) = 0;
  // The current entry's section.
  virtual Text get_INISectionName() = 0;
  // Sets the current entry's section.
  virtual void let_INISectionName(const Text& sNewValue) = 0;
  // The current entry's key.
  virtual Text get_INIKeyName() = 0;
  // Sets the current entry's key (unset: commands act on the whole section).
  virtual void let_INIKeyName(const Text& sNewValue) = 0;
  // The current entry's value (what INIAddKey writes).
  virtual Text get_INIKeyValue() = 0;
  // Sets the current entry's value.
  virtual void let_INIKeyValue(const Text& sNewValue) = 0;
  // Adds the current section (with 0=0) to the current file; 0 when it failed.
  virtual int32_t INIAddSection() = 0;
  // Deletes the current section; 0 when it failed.
  virtual int32_t INIDeleteSection() = 0;
  // Writes the current key and value into the current section; 0 when it failed.
  virtual int32_t INIAddKey() = 0;
  // Deletes the current key; 0 when it failed.
  virtual int32_t INIDeleteKey() = 0;
};

}  // namespace zidevuv10
