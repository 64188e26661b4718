// File, Folder, their collections, Drive and Drives, with member tables.
#include "objects/file_items.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "objects/file_operations.h"
#include "objects/host_files.h"
#include "objects/object_errors.h"
#include "objects/path_text.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"
#include "zidevuv10/paths.h"

namespace zidevuv10::script {

namespace {

using files::Kind;
using frame::method;
using frame::optional;
using frame::propGet;
using frame::propLet;

constexpr int32_t kReadOnly = 1, kHidden = 2, kDirectory = 16, kArchive = 32, kAlias = 1024;

// A size or count: a Long while it fits, else a Double.
Variant number(double value) {
  if (value <= 2147483647.0) return Variant(static_cast<int32_t>(value));
  return Variant(value);
}

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string childOf(const std::string& folder, const std::string& name) {
  return (folder == "/" ? "" : folder) + "/" + name;
}

double treeSize(const std::string& path) {
  struct stat st {};
  if (!files::lstatOf(path, st)) return 0;
  if (!S_ISDIR(st.st_mode)) return static_cast<double>(st.st_size);
  double total = 0;
  for (const std::string& name : files::listFolder(path)) total += treeSize(childOf(path, name));
  return total;
}

template <typename T>
void addEntryMembers(ClassInfo& info) {
  for (MemberInfo& m : std::vector<MemberInfo>{
           propGet<&ScriptFileEntry::get_Path>(u"Path", 0),
           propGet<&ScriptFileEntry::get_Name>(u"Name", 1000),
           propLet<&ScriptFileEntry::let_Name>(u"Name", 1000, u"pbstrName"),
           propGet<&ScriptFileEntry::get_Name>(u"ShortName", 1001),
           propGet<&ScriptFileEntry::get_Path>(u"ShortPath", 1002),
           propGet<&ScriptFileEntry::get_Drive>(u"Drive", 1003),
           propGet<&ScriptFileEntry::get_ParentFolder>(u"ParentFolder", 1004),
           propGet<&ScriptFileEntry::get_Attributes>(u"Attributes", 1005),
           propLet<&ScriptFileEntry::let_Attributes>(u"Attributes", 1005, u"pfa"),
           propGet<&ScriptFileEntry::get_DateCreated>(u"DateCreated", 1006),
           propGet<&ScriptFileEntry::get_DateLastModified>(u"DateLastModified", 1007),
           propGet<&ScriptFileEntry::get_DateLastAccessed>(u"DateLastAccessed", 1008),
           propGet<&ScriptFileEntry::get_Size>(u"Size", 1009),
           propGet<&ScriptFileEntry::get_Type>(u"Type", 1010),
           method<&ScriptFileEntry::Delete>(u"Delete", 1200, optional(u"Force", int16_t{0})),
           method<&ScriptFileEntry::Copy>(u"Copy", 1202, u"Destination", optional(u"OverWriteFiles", int16_t{-1})),
           method<&ScriptFileEntry::Move>(u"Move", 1204, u"Destination"),
       }) {
    info.members.push_back(std::move(m));
  }
  (void)sizeof(T);
}

ClassInfo makeFileClass() {
  ClassInfo info{u"File", u"c7c3f5b5-88a3-11d0-abcb-00a0c90fffc0", u"c7c3f5b4-88a3-11d0-abcb-00a0c90fffc0", {}};
  addEntryMembers<ScriptFile>(info);
  info.members.push_back(method<&ScriptFile::OpenAsTextStream>(u"OpenAsTextStream", 1100, optional(u"IOMode", int32_t{1}),
                                                               optional(u"Format", int32_t{0})));
  return info;
}

ClassInfo makeFolderClass() {
  ClassInfo info{u"Folder", u"c7c3f5b3-88a3-11d0-abcb-00a0c90fffc0", u"c7c3f5b2-88a3-11d0-abcb-00a0c90fffc0", {}};
  addEntryMembers<ScriptFolder>(info);
  for (MemberInfo& m : std::vector<MemberInfo>{
           propGet<&ScriptFolder::get_IsRootFolder, frame::Boolean>(u"IsRootFolder", 10000),
           propGet<&ScriptFolder::get_SubFolders>(u"SubFolders", 10001),
           propGet<&ScriptFolder::get_Files>(u"Files", 10002),
           method<&ScriptFolder::CreateTextFile>(u"CreateTextFile", 10003, u"FileName", optional(u"Overwrite", int16_t{-1}),
                                                 optional(u"Unicode", int16_t{0})),
       }) {
    info.members.push_back(std::move(m));
  }
  return info;
}

ClassInfo makeFileListClass() {
  return ClassInfo{u"Files",
                   u"c7c3f5b6-88a3-11d0-abcb-00a0c90fffc0",
                   u"c7c3f5b7-88a3-11d0-abcb-00a0c90fffc0",
                   {
                       propGet<&ScriptFileList::get_Item>(u"Item", 0, u"Key"),
                       propGet<&ScriptFileList::Count>(u"Count", 1),
                       method<&ScriptFileList::Add>(u"Add", 2, u"Name"),
                   }};
}

ClassInfo makeDriveClass() {
  return ClassInfo{u"Drive",
                   u"c7c3f5b1-88a3-11d0-abcb-00a0c90fffc0",
                   u"c7c3f5b0-88a3-11d0-abcb-00a0c90fffc0",
                   {
                       propGet<&ScriptDrive::get_Path>(u"Path", 0),
                       propGet<&ScriptDrive::get_DriveLetter>(u"DriveLetter", 10000),
                       propGet<&ScriptDrive::get_ShareName>(u"ShareName", 10001),
                       propGet<&ScriptDrive::get_DriveType>(u"DriveType", 10002),
                       propGet<&ScriptDrive::get_RootFolder>(u"RootFolder", 10003),
                       propGet<&ScriptDrive::get_AvailableSpace>(u"AvailableSpace", 10005),
                       propGet<&ScriptDrive::get_FreeSpace>(u"FreeSpace", 10004),
                       propGet<&ScriptDrive::get_TotalSize>(u"TotalSize", 10006),
                       propGet<&ScriptDrive::get_VolumeName>(u"VolumeName", 10007),
                       propGet<&ScriptDrive::get_FileSystem>(u"FileSystem", 10008),
                       propGet<&ScriptDrive::get_SerialNumber>(u"SerialNumber", 10009),
                       propGet<&ScriptDrive::get_IsReady, frame::Boolean>(u"IsReady", 10010),
                   }};
}

ClassInfo makeDrivesClass() {
  return ClassInfo{u"Drives",
                   u"c7c3f5a1-88a3-11d0-abcb-00a0c90fffc0",
                   u"c7c3f5a0-88a3-11d0-abcb-00a0c90fffc0",
                   {
                       propGet<&ScriptDrives::get_Item>(u"Item", 0, u"Key"),
                       propGet<&ScriptDrives::Count>(u"Count", 1),
                   }};
}

struct statvfs volumeOf(const std::string& folder) {
  struct statvfs v {};
  if (::statvfs(folder.c_str(), &v) != 0) files::raiseFor(errno, folder, Kind::Folder);
  return v;
}

}  // namespace

struct stat ScriptFileEntry::status() const {
  struct stat st {};
  if (!files::lstatOf(path_, st)) files::raiseFor(errno, path_, folder() ? Kind::Folder : Kind::File);
  return st;
}

Text ScriptFileEntry::get_Path() const { return files::windowsPath(path_); }

Text ScriptFileEntry::get_Name() const {
  return Text(path_text::fileName(files::windowsPath(path_).str()));
}

void ScriptFileEntry::let_Name(const Text& name) {
  const std::string n = name.utf8();
  if (n.empty() || n.find_first_of("/\\") != std::string::npos) raiseObjectError(err::kInvalidCall);
  const std::string to = childOf(parentOf(path_), n);
  struct stat st {};
  if (to != path_ && files::lstatOf(to, st)) raiseObjectError(err::kFileAlreadyExists);
  files::move(path_, to, folder() ? Kind::Folder : Kind::File);
  path_ = to;
}

Variant ScriptFileEntry::get_Size() const {
  return number(folder() ? treeSize(path_) : static_cast<double>(status().st_size));
}

Text ScriptFileEntry::get_Type() const {
  if (folder()) return Text(u"File folder");
  std::u16string extension = path_text::extensionName(get_Name().str());
  if (extension.empty()) return Text(u"File");
  for (char16_t& c : extension) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return Text(extension + u" File");
}

Variant ScriptFileEntry::get_DateCreated() const {
  struct statx sx {};
  if (::statx(AT_FDCWD, path_.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
    return Variant(files::fileTime(timespec{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec}));
  }
  // Without a birth time the file system keeps none: the last change stands in.
  return Variant(files::fileTime(status().st_mtim));
}

Variant ScriptFileEntry::get_DateLastModified() const { return Variant(files::fileTime(status().st_mtim)); }
Variant ScriptFileEntry::get_DateLastAccessed() const { return Variant(files::fileTime(status().st_atim)); }

int32_t ScriptFileEntry::get_Attributes() const {
  const struct stat st = status();
  int32_t a = folder() ? kDirectory : kArchive;
  if (S_ISLNK(st.st_mode)) {
    a |= kAlias;
  } else if ((st.st_mode & S_IWUSR) == 0) {
    a |= kReadOnly;
  }
  if (nameOfHost().starts_with('.')) a |= kHidden;
  return a;
}

void ScriptFileEntry::let_Attributes(int32_t attributes) {
  const struct stat st = status();
  if (S_ISLNK(st.st_mode)) return;
  const mode_t mode = (attributes & kReadOnly) != 0 ? st.st_mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}
                                                    : st.st_mode | S_IWUSR;
  if ((mode & 07777) != (st.st_mode & 07777) && ::chmod(path_.c_str(), mode & 07777) != 0) {
    files::raiseFor(errno, path_, folder() ? Kind::Folder : Kind::File);
  }
}

Variant ScriptFileEntry::get_ParentFolder() const {
  if (path_ == "/") return Variant(ObjectRef());
  return folderObject(parentOf(path_));
}

Variant ScriptFileEntry::get_Drive() const { return driveObject(files::windowsPath(path_)); }

void ScriptFileEntry::Copy(const Text& destination, int16_t overwrite) {
  if (folder()) return file_operations::copyFolders(get_Path(), destination, overwrite != 0);
  file_operations::copyFiles(get_Path(), destination, overwrite != 0);
}

void ScriptFileEntry::Move(const Text& destination) {
  const std::u16string& d = destination.str();
  const bool into = !d.empty() && (d.back() == u'\\' || d.back() == u'/');
  std::string to = files::hostPath(destination);
  if (into) to = childOf(to, nameOfHost());
  if (folder()) {
    file_operations::moveFolders(get_Path(), destination);
  } else {
    file_operations::moveFiles(get_Path(), destination);
  }
  path_ = to;
}

void ScriptFileEntry::Delete(int16_t force) {
  if (folder()) return file_operations::deleteFolders(get_Path(), force != 0);
  file_operations::deleteFiles(get_Path(), force != 0);
}

std::string ScriptFileEntry::nameOfHost() const { return path_.substr(path_.rfind('/') + 1); }

const ClassInfo* ScriptFile::classInfo() const {
  static const ClassInfo info = makeFileClass();
  return &info;
}

Variant ScriptFile::OpenAsTextStream(int32_t ioMode, int32_t format) {
  return Variant(openTextFile(path_, ioMode, false, format));
}

const ClassInfo* ScriptFolder::classInfo() const {
  static const ClassInfo info = makeFolderClass();
  return &info;
}

int16_t ScriptFolder::get_IsRootFolder() const {
  for (const auto& [letter, folder] : driveFolders()) {
    if (folder == path_) return -1;
  }
  return path_ == "/" ? -1 : 0;
}

Variant ScriptFolder::get_Files() const {
  status();
  return Variant(makeObject<ScriptFileList>(path_, false));
}

Variant ScriptFolder::get_SubFolders() const {
  status();
  return Variant(makeObject<ScriptFileList>(path_, true));
}

Variant ScriptFolder::CreateTextFile(const Text& name, int16_t overwrite, int16_t unicode) {
  return Variant(createTextFile(files::hostPath(Text(path_text::buildPath(get_Path().str(), name.str()))),
                                overwrite != 0, unicode != 0));
}

const ClassInfo* ScriptFileList::classInfo() const {
  static const ClassInfo info = makeFileListClass();
  return &info;
}

std::vector<Variant> ScriptFileList::enumerate() const {
  std::vector<Variant> items;
  for (const std::string& name : files::listFolder(folder_)) {
    const std::string path = childOf(folder_, name);
    if (files::isFolder(path) == folders_) items.push_back(folders_ ? folderObject(path) : fileObject(path));
  }
  return items;
}

Variant ScriptFileList::get_Item(const Text& name) const {
  const std::string wanted = name.utf8();
  for (const std::string& entry : files::listFolder(folder_)) {
    const std::string path = childOf(folder_, entry);
    if (entry.size() == wanted.size() && files::matchesWildcards(entry, wanted) && files::isFolder(path) == folders_) {
      return folders_ ? folderObject(path) : fileObject(path);
    }
  }
  raiseObjectError(folders_ ? err::kPathNotFound : err::kFileNotFound);
}

Variant ScriptFileList::Add(const Text& name) {
  if (!folders_) raiseObjectError(err::kActionNotSupported);
  const std::string n = name.utf8();
  if (n.empty() || n.find_first_of("/\\") != std::string::npos) raiseObjectError(err::kInvalidCall);
  const std::string path = childOf(folder_, n);
  if (::mkdir(path.c_str(), 0777) != 0) files::raiseFor(errno, path, Kind::Folder);
  return folderObject(path);
}

const ClassInfo* ScriptDrive::classInfo() const {
  static const ClassInfo info = makeDriveClass();
  return &info;
}

int16_t ScriptDrive::get_IsReady() const { return files::isFolder(folder_) ? -1 : 0; }

Variant ScriptDrive::get_RootFolder() const {
  if (!files::isFolder(folder_)) raiseObjectError(err::kDeviceUnavailable);
  return folderObject(folder_);
}

Variant ScriptDrive::get_AvailableSpace() const {
  const struct statvfs v = volumeOf(folder_);
  return number(static_cast<double>(v.f_bavail) * static_cast<double>(v.f_frsize));
}

Variant ScriptDrive::get_FreeSpace() const {
  const struct statvfs v = volumeOf(folder_);
  return number(static_cast<double>(v.f_bfree) * static_cast<double>(v.f_frsize));
}

Variant ScriptDrive::get_TotalSize() const {
  const struct statvfs v = volumeOf(folder_);
  return number(static_cast<double>(v.f_blocks) * static_cast<double>(v.f_frsize));
}

Text ScriptDrive::get_FileSystem() const {
  struct statfs s {};
  if (::statfs(folder_.c_str(), &s) != 0) files::raiseFor(errno, folder_, Kind::Folder);
  switch (static_cast<unsigned long>(s.f_type)) {
    case 0xEF53UL: return Text(u"ext4");
    case 0x01021994UL: return Text(u"tmpfs");
    case 0x58465342UL: return Text(u"xfs");
    case 0x9123683EUL: return Text(u"btrfs");
    case 0x794C7630UL: return Text(u"overlay");
    default: return Text(u"unknown");
  }
}

const ClassInfo* ScriptDrives::classInfo() const {
  static const ClassInfo info = makeDrivesClass();
  return &info;
}

std::vector<Variant> ScriptDrives::enumerate() const {
  std::vector<Variant> drives;
  for (auto& [letter, folder] : driveFolders()) drives.emplace_back(makeObject<ScriptDrive>(letter, folder));
  return drives;
}

Variant ScriptDrives::get_Item(const Text& letter) const { return driveObject(letter); }

Variant driveObject(const Text& given) {
  const std::u16string& s = given.str();
  if (s.empty() || !((s[0] >= u'A' && s[0] <= u'Z') || (s[0] >= u'a' && s[0] <= u'z')) ||
      (s.size() > 1 && s[1] != u':')) {
    raiseObjectError(err::kInvalidCall);
  }
  const char letter = static_cast<char>(s[0] >= u'a' ? s[0] - 32 : s[0]);
  for (auto& [l, folder] : driveFolders()) {
    if (l == letter) return Variant(makeObject<ScriptDrive>(l, folder));
  }
  raiseObjectError(err::kDeviceUnavailable);
}

Variant fileObject(const std::string& hostPath) { return Variant(makeObject<ScriptFile>(hostPath)); }
Variant folderObject(const std::string& hostPath) { return Variant(makeObject<ScriptFolder>(hostPath)); }

}  // namespace zidevuv10::script
