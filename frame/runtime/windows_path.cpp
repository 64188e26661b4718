// The Windows form of a profile file argument, and the path mapping for
// clients that handle files of their own (the script host's file objects).
#include "paths/drives.h"
#include "paths/path_map.h"
#include "services/services.h"
#include "zidevuv10/paths.h"

namespace zidevuv10 {

namespace {

// A resolved host path made absolute against the current folder.
std::optional<std::string> absolute(fs::FileSystem& fs, const std::optional<paths::HostPath>& host) {
  if (!host) return std::nullopt;
  std::string path = host->path;
  if (path.empty() || path.front() != '/') {
    std::string folder;
    if (fs.currentFolder(folder) != 0) return std::nullopt;
    path = path.empty() ? folder : folder == "/" ? "/" + path : folder + "/" + path;
  }
  return path;
}

}  // namespace

std::optional<std::string> profileFileWindowsPath(std::string_view file) {
  const auto fs = services::fileSystem();
  const auto path = absolute(*fs, paths::resolveProfileFile(*fs, file));
  if (!path) return std::nullopt;
  return paths::toWindowsForm(*path);
}

std::optional<std::string> hostPathOf(std::string_view path) {
  const auto fs = services::fileSystem();
  return absolute(*fs, paths::resolvePath(*fs, path, true, true));
}

std::string windowsFormOf(std::string_view absoluteHostPath) { return paths::toWindowsForm(absoluteHostPath); }

std::vector<std::pair<char, std::string>> driveFolders() { return paths::mappedDrives(); }

}  // namespace zidevuv10
