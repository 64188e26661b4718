#include "support/power_loss.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <utility>

#include "support/test_files.h"

namespace zidevuv10::testing {

namespace {

// Name -> inode of each entry of a folder.
std::map<std::string, unsigned long> inodesOf(const std::string& folder) {
  std::map<std::string, unsigned long> out;
  std::istringstream names(listFolder(folder));
  for (std::string name; names >> name;) {
    struct stat st {};
    if (::lstat((folder + "/" + name).c_str(), &st) == 0) out[name] = st.st_ino;
  }
  return out;
}

}  // namespace

PowerLossModel::PowerLossModel(std::string folder, std::string shadow)
    : folder_(std::move(folder)), shadow_(std::move(shadow)) {
  saveNames();
  for (const auto& [name, inode] : inodesOf(folder_)) {
    saveBytes(inode, readFile(folder_ + "/" + name));
  }
}

void PowerLossModel::saveNames() const {
  std::string text;
  for (const auto& [name, inode] : inodesOf(folder_)) {
    text += name + " " + std::to_string(inode) + "\n";
  }
  writeFile(shadow_ + "/names", text);
}

void PowerLossModel::saveBytes(unsigned long inode, const std::string& bytes) const {
  writeFile(shadow_ + "/" + std::to_string(inode), bytes);
}

void PowerLossModel::record(FaultyFileSystem& fs) const {
  fs.setSyncHook([this](int fd, const std::string& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      if (realFolder(path) == realFolder(folder_)) saveNames();
      return;
    }
    // The descriptor may be write-only: read the file through /proc.
    saveBytes(st.st_ino, readFile("/proc/self/fd/" + std::to_string(fd)));
  });
}

void PowerLossModel::loseUnsynced() const {
  std::map<std::string, unsigned long> durable;
  std::istringstream lines(readFile(shadow_ + "/names"));
  for (std::string name; lines >> name;) {
    unsigned long inode = 0;
    lines >> inode;
    durable[name] = inode;
  }
  const auto current = inodesOf(folder_);
  std::map<unsigned long, std::string> alive;  // inode -> a current name of it
  for (const auto& [name, inode] : current) alive.emplace(inode, name);
  // Names first: each durable name points at its inode again where that
  // inode still exists (moved aside through a temporary link), else at a
  // new file.
  const std::string spare = folder_ + "/.power-loss-spare";
  for (const auto& [name, inode] : durable) {
    const std::string path = folder_ + "/" + name;
    const auto it = alive.find(inode);
    if (it == alive.end()) {
      ::unlink(path.c_str());
      writeFile(path, "");
      continue;
    }
    const auto now = current.find(name);
    if (now != current.end() && now->second == inode) continue;
    if (::link((folder_ + "/" + it->second).c_str(), spare.c_str()) == 0) {
      ::rename(spare.c_str(), path.c_str());
    }
  }
  for (const auto& [name, inode] : inodesOf(folder_)) {
    if (!durable.count(name)) ::unlink((folder_ + "/" + name).c_str());
  }
  // Then bytes: what was last synced of each inode, or nothing.
  for (const auto& [name, inode] : inodesOf(folder_)) {
    const std::string saved = shadow_ + "/" + std::to_string(durable[name]);
    const std::string bytes = fileExists(saved) ? readFile(saved) : std::string();
    const int fd = ::open((folder_ + "/" + name).c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) continue;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
  }
}

}  // namespace zidevuv10::testing
