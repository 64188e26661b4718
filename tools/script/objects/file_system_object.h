// Scripting.FileSystemObject: paths, files, folders and drives of the
// library's drive mapping (a Windows path "C:\dir\a.txt" or a host path
// "/srv/a.txt"; answers give the Windows form), and text files.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <memory>

#include "host_objects.h"

namespace zidevuv10::script {

class ScriptFileSystem final : public HostObject {
 public:
  ScriptFileSystem(std::shared_ptr<OutputSink> sink, std::shared_ptr<RunState> run)
      : sink_(std::move(sink)), run_(std::move(run)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"FileSystemObject"; }

  // Members: paths as text.
  Text BuildPath(const Text& path, const Text& name) const;
  Text GetDriveName(const Text& path) const;
  Text GetParentFolderName(const Text& path) const;
  Text GetFileName(const Text& path) const;
  Text GetBaseName(const Text& path) const;
  Text GetExtensionName(const Text& path) const;
  Text GetAbsolutePathName(const Text& path) const;
  Text GetTempName() const;
  Text GetFileVersion(const Text& path) const;
  // Members: the file system.
  int16_t DriveExists(const Text& given) const;
  int16_t FileExists(const Text& path) const;
  int16_t FolderExists(const Text& path) const;
  Variant GetDrive(const Text& given) const;
  Variant GetFile(const Text& path) const;
  Variant GetFolder(const Text& path) const;
  Variant GetSpecialFolder(int32_t which) const;
  Variant get_Drives() const;
  Variant CreateFolder(const Text& path);
  void DeleteFile(const Text& given, int16_t force);
  void DeleteFolder(const Text& given, int16_t force);
  void CopyFile(const Text& source, const Text& destination, int16_t overwrite);
  void CopyFolder(const Text& source, const Text& destination, int16_t overwrite);
  void MoveFile(const Text& source, const Text& destination);
  void MoveFolder(const Text& source, const Text& destination);
  Variant CreateTextFile(const Text& path, int16_t overwrite, int16_t unicode);
  Variant OpenTextFile(const Text& path, int32_t ioMode, int16_t create, int32_t format);
  Variant GetStandardStream(int32_t which, int16_t unicode);

 private:
  std::shared_ptr<OutputSink> sink_;
  std::shared_ptr<RunState> run_;
};

}  // namespace zidevuv10::script
