// The Windows form of a profile file argument.
#include "paths/drives.h"
#include "paths/path_map.h"
#include "services/services.h"
#include "zidevuv10/paths.h"

namespace zidevuv10 {

std::optional<std::string> profileFileWindowsPath(std::string_view file) {
  const auto fs = services::fileSystem();
  const auto host = paths::resolveProfileFile(*fs, file);
  if (!host) return std::nullopt;
  std::string absolute = host->path;
  if (absolute.empty() || absolute.front() != '/') {
    std::string folder;
    if (fs->currentFolder(folder) != 0) return std::nullopt;
    absolute = folder == "/" ? "/" + absolute : folder + "/" + absolute;
  }
  return paths::toWindowsForm(absolute);
}

}  // namespace zidevuv10
