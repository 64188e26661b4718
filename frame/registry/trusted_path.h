// Files that decide which code a process loads (the component registry and
// the libraries it names): found by their exact names and opened only when
// the file and every folder and link on the way to it belong to the caller
// or to root, and none of the file and folders is writable by anyone but
// its owner (a folder with the sticky bit, such as /tmp, counts as safe:
// only an entry's owner may replace that entry, and the entry's own owner
// is checked). Every step is taken on what was actually opened: each folder
// through its parent's descriptor without following a link, the file with
// O_NOFOLLOW, each checked with fstat of its descriptor. A link is followed
// only when its owner is the caller or root.
#pragma once

#include <string>

namespace zidevuv10::frame {

class TrustedFile {
 public:
  // Opens `path` for reading (relative paths from the current folder).
  static TrustedFile open(const std::string& path);

  TrustedFile(TrustedFile&& other) noexcept;
  TrustedFile& operator=(TrustedFile&&) = delete;
  TrustedFile(const TrustedFile&) = delete;
  ~TrustedFile();

  // Open, trusted, a regular file.
  bool found() const { return fd_ >= 0; }
  // No such file, and every folder that exists on the way may be trusted.
  bool missing() const { return fd_ < 0 && reason_.empty(); }
  // Why the file may not be used ("/x is writable by others than its owner").
  const std::string& reason() const { return reason_; }
  // The path with every link resolved: what was opened.
  const std::string& resolved() const { return resolved_; }
  int fd() const { return fd_; }
  // Reads the whole file into `out`; false, with a reason, when it is
  // longer than `limit` bytes or reading fails.
  bool readAll(std::string& out, std::size_t limit);

 private:
  TrustedFile() = default;
  int fd_ = -1;
  std::string reason_;
  std::string resolved_;
};

// Prints "zidevuv10: ignoring <what> <path>: <reason>" on standard error,
// once per process for each distinct message.
void warnOnce(const std::string& what, const std::string& path, const std::string& reason);

}  // namespace zidevuv10::frame
