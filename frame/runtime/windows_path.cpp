// The Windows form of a profile file argument.
#include <unistd.h>

#include <cstdlib>

#include "fs/file_system.h"
#include "paths/drives.h"
#include "paths/path_map.h"
#include "zidevuv10/paths.h"

namespace zidevuv10 {

std::optional<std::string> profileFileWindowsPath(std::string_view file) {
  const auto fs = fs::posixFileSystem();
  const auto host = paths::resolveProfileFile(*fs, file);
  if (!host) return std::nullopt;
  std::string absolute = host->path;
  if (absolute.empty() || absolute.front() != '/') {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) return std::nullopt;
    std::string folder(cwd);
    std::free(cwd);
    absolute = folder == "/" ? "/" + absolute : folder + "/" + absolute;
  }
  return paths::toWindowsForm(absolute);
}

}  // namespace zidevuv10
