#include "objects/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "objects/host_files.h"
#include "objects/object_errors.h"
#include "objects/path_text.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script::file_operations {

namespace {

using files::Kind;

bool endsWithSeparator(const std::u16string& s) { return !s.empty() && (s.back() == u'\\' || s.back() == u'/'); }

// A source's matches, as host paths of the kind asked for.
struct Sources {
  std::vector<std::string> paths;
  bool wildcards = false;
};

Sources sourcesOf(const Text& given, Kind kind) {
  const std::u16string& s = given.str();
  const std::u16string name = path_text::fileName(s);
  Sources out;
  const auto wanted = [kind](const std::string& p) { return kind == Kind::Folder ? files::isFolder(p) : files::isFile(p); };
  if (!files::hasWildcards(Text(name).utf8())) {
    const std::string host = files::hostPath(given);
    if (!wanted(host)) raiseObjectError(kind == Kind::Folder ? err::kPathNotFound : err::kFileNotFound);
    out.paths.push_back(host);
    return out;
  }
  out.wildcards = true;
  const std::u16string parent = path_text::parentFolderName(s);
  const std::string folder = files::hostPath(Text(parent.empty() ? u"." : parent));
  if (!files::isFolder(folder)) raiseObjectError(err::kPathNotFound);
  const std::string pattern = Text(name).utf8();
  for (const std::string& entry : files::listFolder(folder)) {
    const std::string path = (folder == "/" ? "" : folder) + "/" + entry;
    if (files::matchesWildcards(pattern, entry) && wanted(path)) out.paths.push_back(path);
  }
  if (out.paths.empty()) raiseObjectError(kind == Kind::Folder ? err::kPathNotFound : err::kFileNotFound);
  return out;
}

std::string nameOf(const std::string& host) { return host.substr(host.rfind('/') + 1); }

// Where each source goes: into the destination folder, or the destination itself.
std::string targetOf(const Sources& sources, const Text& destination, const std::string& source) {
  if (sources.wildcards || endsWithSeparator(destination.str())) {
    const std::string folder = files::hostPath(destination);
    if (!files::isFolder(folder)) raiseObjectError(err::kPathNotFound);
    return (folder == "/" ? "" : folder) + "/" + nameOf(source);
  }
  return files::hostPath(destination);
}

bool sameEntry(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return files::statOf(a, sa) && files::statOf(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool readOnly(const std::string& path) {
  struct stat st {};
  return files::lstatOf(path, st) && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

bool holdsReadOnly(const std::string& folder) {
  for (const std::string& name : files::listFolder(folder)) {
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (!files::lstatOf(path, st)) continue;
    if (S_ISDIR(st.st_mode) ? holdsReadOnly(path) : readOnly(path)) return true;
  }
  return false;
}

bool inside(const std::string& path, const std::string& folder) {
  return path == folder || path.starts_with(folder == "/" ? folder : folder + "/");
}

}  // namespace

void copyFiles(const Text& source, const Text& destination, bool overwrite) {
  const Sources sources = sourcesOf(source, Kind::File);
  for (const std::string& from : sources.paths) {
    const std::string to = targetOf(sources, destination, from);
    if (files::isFolder(to) || sameEntry(from, to)) raiseObjectError(err::kPermissionDenied);
    if (!overwrite && files::isFile(to)) raiseObjectError(err::kFileAlreadyExists);
    files::copyFile(from, to);
  }
}

void moveFiles(const Text& source, const Text& destination) {
  const Sources sources = sourcesOf(source, Kind::File);
  for (const std::string& from : sources.paths) {
    const std::string to = targetOf(sources, destination, from);
    struct stat st {};
    if (files::lstatOf(to, st)) raiseObjectError(err::kFileAlreadyExists);
    files::move(from, to, Kind::File);
  }
}

void deleteFiles(const Text& given, bool force) {
  const Sources sources = sourcesOf(given, Kind::File);
  if (!force) {
    for (const std::string& path : sources.paths) {
      if (readOnly(path)) raiseObjectError(err::kPermissionDenied);
    }
  }
  for (const std::string& path : sources.paths) {
    if (::unlink(path.c_str()) != 0) files::raiseFor(errno, path, Kind::File);
  }
}

void copyFolders(const Text& source, const Text& destination, bool overwrite) {
  const Sources sources = sourcesOf(source, Kind::Folder);
  for (const std::string& from : sources.paths) {
    const std::string to = targetOf(sources, destination, from);
    if (files::isFile(to)) raiseObjectError(err::kFileAlreadyExists);
    if (inside(to, from)) raiseObjectError(err::kPermissionDenied);
    files::copyFolder(from, to, overwrite);
  }
}

void moveFolders(const Text& source, const Text& destination) {
  const Sources sources = sourcesOf(source, Kind::Folder);
  for (const std::string& from : sources.paths) {
    const std::string to = targetOf(sources, destination, from);
    struct stat st {};
    if (files::lstatOf(to, st)) raiseObjectError(err::kFileAlreadyExists);
    if (inside(to, from)) raiseObjectError(err::kPermissionDenied);
    files::move(from, to, Kind::Folder);
  }
}

void deleteFolders(const Text& given, bool force) {
  const Sources sources = sourcesOf(given, Kind::Folder);
  if (!force) {
    for (const std::string& path : sources.paths) {
      if (holdsReadOnly(path)) raiseObjectError(err::kPermissionDenied);
    }
  }
  for (const std::string& path : sources.paths) files::deleteTree(path);
}

}  // namespace zidevuv10::script::file_operations
