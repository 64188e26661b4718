#include "support/test_files.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "zidevuv10/profile.h"

namespace zidevuv10::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zdvtest-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make read-only folders removable again before removing everything.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::string listFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(path, ec)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

std::vector<std::string> entriesOf(const std::string& file, const char* section) {
  std::vector<char> buffer(65536);
  const uint32_t n = GetPrivateProfileSectionA(section, buffer.data(),
                                               static_cast<uint32_t>(buffer.size()), file.c_str());
  std::vector<std::string> out;
  std::string item;
  for (uint32_t i = 0; i < n; ++i) {
    if (buffer[i] == '\0') {
      out.push_back(item);
      item.clear();
    } else {
      item.push_back(buffer[i]);
    }
  }
  return out;
}

std::string accessAcl(unsigned owner, unsigned group, unsigned other,
                      const std::vector<std::pair<unsigned, unsigned>>& users) {
  // Little-endian: version 2, then (tag u16, permissions u16, id u32)
  // entries sorted by tag and id.
  std::string acl;
  const auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xff);
  };
  const auto entry = [&](uint16_t tag, unsigned perm, uint32_t id) {
    put(tag, 2);
    put(perm, 2);
    put(id, 4);
  };
  constexpr uint32_t kNoId = 0xffffffffu;
  put(2, 4);
  entry(0x01, owner, kNoId);
  auto named = users;
  std::sort(named.begin(), named.end());
  for (const auto& [uid, perm] : named) entry(0x02, perm, uid);
  entry(0x04, group, kNoId);
  entry(0x10, 7, kNoId);
  entry(0x20, other, kNoId);
  return acl;
}

std::string realFolder(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) == nullptr) return path;
  return buf;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) {
  char buf[PATH_MAX];
  if (::getcwd(buf, sizeof buf) != nullptr) old_ = buf;
  EXPECT_EQ(::chdir(folder.c_str()), 0) << folder;
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
  if (!old_.empty() && ::chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_;
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) {
    had_ = true;
    old_ = old;
  }
  ::setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_) {
    ::setenv(name_.c_str(), old_.c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

ScopedDriveC::ScopedDriveC()
    : folder_(dir_.path() + "/drive_c"), env_("ZIDEVUV10_DRIVE_C", folder_) {}

}  // namespace zidevuv10::testing
