#include "host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "command_line.h"
#include "zidevuv10/profile.h"

namespace zidevuv10::cli {

namespace {

std::string currentFolder() {
  char* cwd = ::getcwd(nullptr, 0);
  if (cwd == nullptr) {
    throw Failure(std::string("cannot name the current folder: ") + std::strerror(errno));
  }
  std::string out(cwd);
  std::free(cwd);
  return out;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether the store sees any section in the file: it then found a file,
// also when only a name differing in case exists.
bool storeSeesSections(const std::string& path) {
  char buffer[64];
  return GetPrivateProfileSectionNamesA(buffer, sizeof buffer, path.c_str()) > 0;
}

}  // namespace

std::string storePath(const std::string& hostPath) {
  if (hostPath.empty()) throw Failure("an empty file name names no file");
  if (hostPath.find('\\') != std::string::npos) {
    throw Failure(hostPath +
                  ": a file name holding '\\' cannot be reached through the profile store");
  }
  if (hostPath.back() == '/') throw Failure(hostPath + ": names a folder, not a file");
  if (hostPath.front() == '/') return hostPath;
  const std::string folder = currentFolder();
  return folder == "/" ? "/" + hostPath : folder + "/" + hostPath;
}

void requireReadableFile(const std::string& argument, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      if (storeSeesSections(path)) return;
      throw Failure(argument + ": no such file");
    }
    throw Failure(argument + ": " + std::strerror(error));
  }
  struct stat st {};
  const int statResult = ::fstat(fd, &st);
  const int error = errno;
  ::close(fd);
  if (statResult != 0) throw Failure(argument + ": " + std::strerror(error));
  if (S_ISDIR(st.st_mode)) throw Failure(argument + ": is a folder, not a file");
}

std::string writeFailure(const std::string& argument, const std::string& path,
                         const std::string& change, const std::string& otherwise) {
  const std::string prefix = argument + ": cannot " + change + ": ";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return prefix + "it is a folder";
  const std::string folder = folderOf(path);
  if (::stat(folder.c_str(), &st) != 0) return prefix + "its folder: " + std::strerror(errno);
  // The store replaces a file through a new file in its folder: try making
  // one (permissions alone do not tell, a privileged user passes them all).
  std::string probe = (folder == "/" ? "" : folder) + "/.zidevuv10-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return prefix + "its folder: " + std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return prefix + otherwise;
}

}  // namespace zidevuv10::cli
