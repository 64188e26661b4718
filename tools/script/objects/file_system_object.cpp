// Scripting.FileSystemObject and its member table.
#include "objects/file_system_object.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <random>

#include "objects/file_items.h"
#include "objects/file_operations.h"
#include "objects/host_files.h"
#include "objects/object_errors.h"
#include "objects/path_text.h"
#include "objects/standard_streams.h"
#include "objects/text_stream.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"
#include "zidevuv10/paths.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::optional;
using frame::propGet;
using S = ScriptFileSystem;

ClassInfo makeFileSystemClass() {
  return ClassInfo{
      u"FileSystemObject",
      u"0d43fe01-f093-11cf-8940-00a0c9054228",
      u"2a0b9d10-4b87-11d3-a97a-00104b365c9f",
      {
          propGet<&S::get_Drives>(u"Drives", 10010),
          method<&S::BuildPath>(u"BuildPath", 10000, u"Path", u"Name"),
          method<&S::GetDriveName>(u"GetDriveName", 10004, u"Path"),
          method<&S::GetParentFolderName>(u"GetParentFolderName", 10005, u"Path"),
          method<&S::GetFileName>(u"GetFileName", 10006, u"Path"),
          method<&S::GetBaseName>(u"GetBaseName", 10007, u"Path"),
          method<&S::GetExtensionName>(u"GetExtensionName", 10008, u"Path"),
          method<&S::GetAbsolutePathName>(u"GetAbsolutePathName", 10002, u"Path"),
          method<&S::GetTempName>(u"GetTempName", 10003),
          method<&S::DriveExists, frame::Boolean>(u"DriveExists", 10015, u"DriveSpec"),
          method<&S::FileExists, frame::Boolean>(u"FileExists", 10016, u"FileSpec"),
          method<&S::FolderExists, frame::Boolean>(u"FolderExists", 10017, u"FolderSpec"),
          method<&S::GetDrive>(u"GetDrive", 10011, u"DriveSpec"),
          method<&S::GetFile>(u"GetFile", 10012, u"FilePath"),
          method<&S::GetFolder>(u"GetFolder", 10013, u"FolderPath"),
          method<&S::GetSpecialFolder>(u"GetSpecialFolder", 10014, u"SpecialFolder"),
          method<&S::DeleteFile>(u"DeleteFile", 1200, u"FileSpec", optional(u"Force", int16_t{0})),
          method<&S::DeleteFolder>(u"DeleteFolder", 1201, u"FolderSpec", optional(u"Force", int16_t{0})),
          method<&S::MoveFile>(u"MoveFile", 1204, u"Source", u"Destination"),
          method<&S::MoveFolder>(u"MoveFolder", 1205, u"Source", u"Destination"),
          method<&S::CopyFile>(u"CopyFile", 1202, u"Source", u"Destination", optional(u"OverWriteFiles", int16_t{-1})),
          method<&S::CopyFolder>(u"CopyFolder", 1203, u"Source", u"Destination",
                                 optional(u"OverWriteFiles", int16_t{-1})),
          method<&S::CreateFolder>(u"CreateFolder", 1120, u"Path"),
          method<&S::CreateTextFile>(u"CreateTextFile", 1101, u"FileName", optional(u"Overwrite", int16_t{-1}),
                                     optional(u"Unicode", int16_t{0})),
          method<&S::OpenTextFile>(u"OpenTextFile", 1100, u"FileName", optional(u"IOMode", int32_t{1}),
                                   optional(u"Create", int16_t{0}), optional(u"Format", int32_t{0})),
          method<&S::GetStandardStream>(u"GetStandardStream", 20000, u"StandardStreamType",
                                        optional(u"Unicode", int16_t{0})),
          method<&S::GetFileVersion>(u"GetFileVersion", 20010, u"FileName"),
      }};
}

// The host path of a script's path, or nothing where it names no file.
std::optional<std::string> quietHostPath(const Text& path) {
  if (path.str().empty() || path.str().find(u'\0') != std::u16string::npos) return std::nullopt;
  return hostPathOf(path.utf8());
}

}  // namespace

const ClassInfo* ScriptFileSystem::classInfo() const {
  static const ClassInfo info = makeFileSystemClass();
  return &info;
}

Text S::BuildPath(const Text& path, const Text& name) const { return Text(path_text::buildPath(path.str(), name.str())); }
Text S::GetDriveName(const Text& path) const { return Text(path_text::driveName(path.str())); }
Text S::GetParentFolderName(const Text& path) const { return Text(path_text::parentFolderName(path.str())); }
Text S::GetFileName(const Text& path) const { return Text(path_text::fileName(path.str())); }
Text S::GetBaseName(const Text& path) const { return Text(path_text::baseName(path.str())); }
Text S::GetExtensionName(const Text& path) const { return Text(path_text::extensionName(path.str())); }

Text S::GetAbsolutePathName(const Text& path) const {
  return files::windowsPath(files::hostPath(path.str().empty() ? Text(u".") : path));
}

Text S::GetTempName() const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::random_device random;
  std::string name = "rad";
  for (int i = 0; i < 5; ++i) name += kDigits[random() % 16];
  return Text::fromUtf8(name + ".tmp");
}

// Linux files carry no version resource.
Text S::GetFileVersion(const Text& path) const {
  if (!files::isFile(files::hostPath(path))) raiseObjectError(err::kFileNotFound);
  return Text::empty();
}

int16_t S::DriveExists(const Text& given) const {
  const std::u16string& s = given.str();
  if (s.empty() || (s.size() > 1 && s[1] != u':')) return 0;
  const char16_t letter = s[0] >= u'a' && s[0] <= u'z' ? static_cast<char16_t>(s[0] - 32) : s[0];
  for (const auto& [l, folder] : driveFolders()) {
    if (static_cast<char16_t>(l) == letter) return -1;
  }
  return 0;
}

int16_t S::FileExists(const Text& path) const {
  const auto host = quietHostPath(path);
  return host && files::isFile(*host) ? -1 : 0;
}

int16_t S::FolderExists(const Text& path) const {
  const auto host = quietHostPath(path);
  return host && files::isFolder(*host) ? -1 : 0;
}

Variant S::GetDrive(const Text& given) const { return driveObject(given); }

Variant S::GetFile(const Text& path) const {
  const std::string host = files::hostPath(path);
  if (!files::isFile(host)) raiseObjectError(err::kFileNotFound);
  return fileObject(host);
}

Variant S::GetFolder(const Text& path) const {
  const std::string host = files::hostPath(path);
  if (!files::isFolder(host)) raiseObjectError(err::kPathNotFound);
  return folderObject(host);
}

// 0 the Windows folder, 1 its system folder (both on drive C), 2 the
// temporary folder ($TMPDIR, else /tmp).
Variant S::GetSpecialFolder(int32_t which) const {
  switch (which) {
    case 0: return folderObject(files::hostPath(Text(u"C:\\WINDOWS")));
    case 1: return folderObject(files::hostPath(Text(u"C:\\WINDOWS\\system32")));
    case 2: {
      const char* tmp = std::getenv("TMPDIR");
      return folderObject(files::hostPath(Text::fromUtf8(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp")));
    }
    default: raiseObjectError(err::kInvalidCall);
  }
}

Variant S::get_Drives() const { return Variant(makeObject<ScriptDrives>()); }

Variant S::CreateFolder(const Text& path) {
  const std::string host = files::hostPath(path);
  struct stat st {};
  if (files::lstatOf(host, st)) raiseObjectError(err::kFileAlreadyExists);
  if (::mkdir(host.c_str(), 0777) != 0) files::raiseFor(errno, host, files::Kind::Folder);
  return folderObject(host);
}

void S::DeleteFile(const Text& given, int16_t force) { file_operations::deleteFiles(given, force != 0); }
void S::DeleteFolder(const Text& given, int16_t force) { file_operations::deleteFolders(given, force != 0); }
void S::CopyFile(const Text& source, const Text& destination, int16_t overwrite) {
  file_operations::copyFiles(source, destination, overwrite != 0);
}
void S::CopyFolder(const Text& source, const Text& destination, int16_t overwrite) {
  file_operations::copyFolders(source, destination, overwrite != 0);
}
void S::MoveFile(const Text& source, const Text& destination) { file_operations::moveFiles(source, destination); }
void S::MoveFolder(const Text& source, const Text& destination) { file_operations::moveFolders(source, destination); }

Variant S::CreateTextFile(const Text& path, int16_t overwrite, int16_t unicode) {
  return Variant(createTextFile(files::hostPath(path), overwrite != 0, unicode != 0));
}

Variant S::OpenTextFile(const Text& path, int32_t ioMode, int16_t create, int32_t format) {
  return Variant(openTextFile(files::hostPath(path), ioMode, create != 0, format));
}

Variant S::GetStandardStream(int32_t which, int16_t) {
  if (which < 0 || which > 2) raiseObjectError(err::kInvalidCall);
  return Variant(standardStream(sink_, run_, which));
}

}  // namespace zidevuv10::script
