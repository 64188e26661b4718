#include "store/file_metadata.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace zidevuv10::store {

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";

int attributeNames(fs::FileSystem& fs, int fd, std::vector<std::string>& names) {
  const int rc = fs.listXattrs(fd, names);
  // A file system without extended attributes has none to keep.
  if (rc == -ENOTSUP || rc == -EOPNOTSUPP) {
    names.clear();
    return 0;
  }
  return rc;
}

}  // namespace

int carryMetadata(fs::FileSystem& fs, int fromFd, const struct stat& from, int toFd) {
  struct stat to {};
  if (const int rc = fs.fstat(toFd, to); rc != 0) return rc;
  // Owner first: a change of owner clears set-id bits and capabilities,
  // which the mode and the attributes then bring back.
  if (to.st_uid != from.st_uid || to.st_gid != from.st_gid) {
    if (const int rc = fs.fchown(toFd, from.st_uid, from.st_gid); rc != 0) return rc;
  }
  std::vector<std::string> names;
  if (const int rc = attributeNames(fs, fromFd, names); rc != 0) return rc;
  std::string value;
  std::string present;
  for (const std::string& name : names) {
    if (const int rc = fs.getXattr(fromFd, name, value); rc != 0) {
      if (rc == -ENODATA) continue;  // removed meanwhile
      return rc;
    }
    // A value the copy already has (a security label given at creation,
    // say) needs no right to set.
    if (fs.getXattr(toFd, name, present) == 0 && present == value) continue;
    if (const int rc = fs.setXattr(toFd, name, value); rc != 0) return rc;
  }
  // An access ACL the copy inherited from the folder's default ACL, which
  // the original does not have.
  if (std::find(names.begin(), names.end(), kAccessAcl) == names.end()) {
    std::vector<std::string> own;
    if (const int rc = attributeNames(fs, toFd, own); rc != 0) return rc;
    if (std::find(own.begin(), own.end(), kAccessAcl) != own.end()) {
      if (const int rc = fs.removeXattr(toFd, kAccessAcl); rc != 0) return rc;
    }
  }
  return fs.fchmod(toFd, from.st_mode & 07777);
}

}  // namespace zidevuv10::store
