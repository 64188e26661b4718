#include "host_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "command_line.h"

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

}  // namespace zidevuv10::cli
