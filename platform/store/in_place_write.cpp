#include "store/in_place_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "store/journal.h"

namespace zidevuv10::store {

int openSameFile(fs::FileSystem& fs, const std::string& target, const struct stat& st,
                 struct stat* opened) {
  const int fd = fs.open(target, O_WRONLY | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd == -ELOOP) return -ESTALE;
  if (fd < 0) return fd == -EPERM ? -EACCES : fd;
  struct stat local {};
  struct stat& now = opened ? *opened : local;
  int rc = fs.fstat(fd, now);
  if (rc == 0 && (!S_ISREG(now.st_mode) || now.st_dev != st.st_dev || now.st_ino != st.st_ino)) {
    rc = -ESTALE;
  }
  if (rc != 0) {
    fs.close(fd);
    return rc;
  }
  return fd;
}

namespace {

// Writes the bytes over the open file from its start, cuts it to their
// length and syncs it.
int writeOver(fs::FileSystem& fs, int fd, std::string_view bytes) {
  if (const int rc = fs::pwriteAll(fs, fd, bytes.data(), bytes.size(), 0); rc != 0) return rc;
  if (const int rc = fs.ftruncate(fd, static_cast<off_t>(bytes.size())); rc != 0) return rc;
  return fs.fsync(fd);
}

}  // namespace

int overwriteInPlace(fs::FileSystem& fs, int fd, const std::string& target,
                     const SideContext& ctx, const struct stat& st, std::string_view bytes,
                     std::string_view oldBytes) {
  JournalWriter journal;
  int rc = journal.open(fs, target, ctx);
  if (rc == 0) {
    rc = journal.begin(st, oldBytes, bytes);
    // Not begun: the file is untouched, and an Active header that did
    // reach the disk resolves to the old content.
    if (rc != 0) journal.setState(JournalState::Idle, false);
  }
  if (rc != 0) return rc;
  rc = writeOver(fs, fd, bytes);
  if (rc == 0) {
    // The new content is durable: the write stands. The Idle header needs
    // no sync, and should it fail, an Active journal with the new content
    // on the file resolves to that content.
    if (journal.setState(JournalState::Idle, false) == 0) journal.dropBody();
  } else if (writeOver(fs, fd, oldBytes) == 0) {
    journal.setState(JournalState::Idle, true);
  } else {
    // The old content could not be put back: the new must never be seen.
    journal.setState(JournalState::Aborted, true);
  }
  return rc;
}

int settleOverwrite(fs::FileSystem& fs, const std::string& target, const SideContext& ctx,
                    const struct stat& st, std::string_view current, std::string_view resolved) {
  if (resolved != current) {
    // The journal stays as it is meanwhile: a crash here resolves alike.
    const int fd = openSameFile(fs, target, st);
    if (fd < 0) return fd;
    const int rc = writeOver(fs, fd, resolved);
    const int closed = fs.close(fd);
    if (rc != 0) return rc;
    if (closed != 0) return closed;
  }
  JournalWriter journal;
  if (const int rc = journal.open(fs, target, ctx); rc != 0) return rc;
  if (const int rc = journal.setState(JournalState::Idle, false); rc != 0) return rc;
  return journal.dropBody();
}

int settleStaleJournal(fs::FileSystem& fs, const std::string& target, const SideContext& ctx) {
  JournalWriter journal;
  if (const int rc = journal.open(fs, target, ctx); rc != 0) return rc;
  if (const int rc = journal.setState(JournalState::Idle, true); rc != 0) return rc;
  return journal.dropBody();
}

}  // namespace zidevuv10::store
