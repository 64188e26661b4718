// Test helpers: a temporary folder removed at the end of the test, whole-file
// reads and writes, and scoped environment variables (drive mappings).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zidevuv10::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
bool fileExists(const std::string& path);
// Names in a folder (without "." and ".."), sorted.
std::string listFolder(const std::string& path);

// The entries of a section as GetPrivateProfileSectionA lists them, in file
// order: an independent view of what a class wrote.
std::vector<std::string> entriesOf(const std::string& file, const char* section);

// A POSIX access ACL as the system.posix_acl_access attribute holds it:
// owner, group and other get the permissions given (r=4, w=2, x=1), each
// named user the permission paired with it; the mask allows all.
std::string accessAcl(unsigned owner, unsigned group, unsigned other,
                      const std::vector<std::pair<unsigned, unsigned>>& users);

// The path with symbolic links resolved (the path itself when that fails).
std::string realFolder(const std::string& path);

// Changes the current folder for the test's lifetime and returns afterwards.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& folder);
  ~ScopedCurrentFolder();
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::string old_;
};

class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool had_ = false;
};

// Maps drive C (and so the Windows directory C:\WINDOWS) into a temporary
// folder for the test's lifetime, so tests never touch the user's files.
class ScopedDriveC {
 public:
  ScopedDriveC();
  const std::string& folder() const { return folder_; }
  std::string windowsDir() const { return folder_ + "/WINDOWS"; }

 private:
  TempDir dir_;
  std::string folder_;
  ScopedEnv env_;
};

}  // namespace zidevuv10::testing
