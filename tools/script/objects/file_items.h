// The FileSystemObject's File, Folder and Drive objects and their
// collections (Files, Folders, Drives), each bound to a host path. Their
// Path is the Windows form ("Z:\srv\logs\a.log"), their default member.
// Attributes: ReadOnly (1) when the owner may not write, Hidden (2) for a
// name starting with a dot, Directory (16), Archive (32) for every file,
// Alias (1024) for a symbolic link; only ReadOnly can be changed. Dates are
// the local time as Now prints it. Collections list their entries in name
// order, without regard to case, as Windows does, taken afresh at each call.
// Apartment rule: used by the thread of the run that made them.
#pragma once

#include <sys/stat.h>

#include <string>

#include "host_objects.h"
#include "objects/enumerable.h"
#include "objects/text_stream.h"

namespace zidevuv10::script {

// What File and Folder share.
class ScriptFileEntry : public HostObject {
 public:
  explicit ScriptFileEntry(std::string hostPath) : path_(std::move(hostPath)) {}
  const std::string& hostPath() const { return path_; }

  // Members of both.
  Text get_Path() const;
  Text get_Name() const;
  // Renames within the same folder; error 58 when the name is taken.
  void let_Name(const Text& name);
  Variant get_Size() const;
  Text get_Type() const;
  Variant get_DateCreated() const;
  Variant get_DateLastModified() const;
  Variant get_DateLastAccessed() const;
  int32_t get_Attributes() const;
  void let_Attributes(int32_t attributes);
  Variant get_ParentFolder() const;
  Variant get_Drive() const;
  void Copy(const Text& destination, int16_t overwrite);
  void Move(const Text& destination);
  void Delete(int16_t force);

 protected:
  virtual bool folder() const = 0;
  struct stat status() const;
  std::string nameOfHost() const;

  std::string path_;
};

class ScriptFile final : public ScriptFileEntry {
 public:
  using ScriptFileEntry::ScriptFileEntry;
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"File"; }

  Variant OpenAsTextStream(int32_t ioMode, int32_t format);

 private:
  bool folder() const override { return false; }
};

class ScriptFolder final : public ScriptFileEntry {
 public:
  using ScriptFileEntry::ScriptFileEntry;
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Folder"; }

  int16_t get_IsRootFolder() const;
  Variant get_Files() const;
  Variant get_SubFolders() const;
  Variant CreateTextFile(const Text& name, int16_t overwrite, int16_t unicode);

 private:
  bool folder() const override { return true; }
};

// Files (folders = false) or SubFolders of a folder.
class ScriptFileList final : public HostObject, public Enumerable {
 public:
  ScriptFileList(std::string hostFolder, bool folders) : folder_(std::move(hostFolder)), folders_(folders) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return folders_ ? u"Folders" : u"Files"; }
  std::vector<Variant> enumerate() const override;

  int32_t Count() const { return static_cast<int32_t>(enumerate().size()); }
  // The entry of that name (without regard to case); error 53 (76 for a
  // folder) when there is none.
  Variant get_Item(const Text& name) const;
  // Folders only: a new subfolder (58 when the name is taken).
  Variant Add(const Text& name);

 private:
  std::string folder_;
  bool folders_;
};

// A drive of the path mapping: the letter and the host folder it stands for.
class ScriptDrive final : public HostObject {
 public:
  ScriptDrive(char letter, std::string hostFolder) : letter_(letter), folder_(std::move(hostFolder)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Drive"; }

  Text get_Path() const { return Text(std::u16string{static_cast<char16_t>(letter_), u':'}); }
  Text get_DriveLetter() const { return Text(std::u16string{static_cast<char16_t>(letter_)}); }
  int32_t get_DriveType() const { return 2; }  // fixed
  int16_t get_IsReady() const;
  Variant get_RootFolder() const;
  Variant get_AvailableSpace() const;
  Variant get_FreeSpace() const;
  Variant get_TotalSize() const;
  Text get_FileSystem() const;
  Text get_VolumeName() const { return Text::empty(); }
  Text get_ShareName() const { return Text::empty(); }
  int32_t get_SerialNumber() const { return 0; }

 private:
  char letter_;
  std::string folder_;
};

class ScriptDrives final : public HostObject, public Enumerable {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Drives"; }
  std::vector<Variant> enumerate() const override;
  int32_t Count() const { return static_cast<int32_t>(enumerate().size()); }
  Variant get_Item(const Text& letter) const;
};

// The drive object for "C", "c:", "C:\..." (error 68 for a drive without a
// folder, 5 for text that names no drive).
Variant driveObject(const Text& given);
// The File or Folder object for a host path.
Variant fileObject(const std::string& hostPath);
Variant folderObject(const std::string& hostPath);

}  // namespace zidevuv10::script
