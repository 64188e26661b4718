#include "store/journal.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "paths/host_path.h"
#include "store/atomic_file.h"
#include "store/document.h"

namespace zidevuv10::store {

namespace {

constexpr char kMagic[16] = "zdv-journal v2\n";
// Two header slots, written in turn (by generation): a header write cut
// short leaves the other slot, one state older, to be read.
constexpr std::size_t kSlotSize = 80;
constexpr std::size_t kHeaderSize = 2 * kSlotSize;

// FNV-1a: finds a header or body that a crash cut short or a read caught
// half written (trust comes from the journal's owner, not from this sum).
uint64_t checksum(std::string_view bytes) {
  uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

void put64(char* at, uint64_t v) { std::memcpy(at, &v, sizeof v); }
uint64_t get64(const char* at) {
  uint64_t v = 0;
  std::memcpy(&v, at, sizeof v);
  return v;
}

void encode(const JournalHeader& h, char (&out)[kSlotSize]) {
  std::memset(out, 0, sizeof out);
  std::memcpy(out, kMagic, sizeof kMagic);
  const auto state = static_cast<uint32_t>(h.state);
  std::memcpy(out + 16, &state, sizeof state);
  put64(out + 24, h.generation);
  put64(out + 32, h.device);
  put64(out + 40, h.inode);
  put64(out + 48, h.oldLength);
  put64(out + 56, h.newLength);
  put64(out + 64, h.bodySum);
  put64(out + 72, checksum(std::string_view(out, 72)));
}

// One slot's header: false when it was never written, or cut short.
bool decode(const char* in, std::size_t n, JournalHeader& h) {
  h = JournalHeader{};
  if (n < kSlotSize || std::memcmp(in, kMagic, sizeof kMagic) != 0) return false;
  if (get64(in + 72) != checksum(std::string_view(in, 72))) return false;
  uint32_t state = 0;
  std::memcpy(&state, in + 16, sizeof state);
  if (state > static_cast<uint32_t>(JournalState::Aborted)) return false;
  h.state = static_cast<JournalState>(state);
  h.generation = get64(in + 24);
  h.device = get64(in + 32);
  h.inode = get64(in + 40);
  h.oldLength = get64(in + 48);
  h.newLength = get64(in + 56);
  h.bodySum = get64(in + 64);
  return true;
}

bool pending(const JournalHeader& h) { return h.state != JournalState::Idle; }

// Reads the header at the descriptor (the newer valid slot; none: Idle),
// and the body when the header is pending. A pending header whose body
// fails its sum was cut short before the file was touched: Idle.
int readJournal(fs::FileSystem& fs, int fd, JournalHeader& h, std::string* body) {
  char raw[kHeaderSize];
  const ssize_t n = fs.pread(fd, raw, sizeof raw, 0);
  if (n < 0) return static_cast<int>(n);
  const auto got = static_cast<std::size_t>(n);
  JournalHeader first;
  JournalHeader second;
  const bool firstValid = decode(raw, got, first);
  const bool secondValid = got > kSlotSize && decode(raw + kSlotSize, got - kSlotSize, second);
  h = JournalHeader{};
  if (firstValid && (!secondValid || first.generation > second.generation)) {
    h = first;
  } else if (secondValid) {
    h = second;
  }
  if (!pending(h)) return 0;
  const uint64_t length = h.oldLength + h.newLength;
  if (h.oldLength > Document::kMaxFileSize || h.newLength > Document::kMaxFileSize) {
    h.state = JournalState::Idle;
    return 0;
  }
  std::string bytes(length, '\0');
  const int rc = fs::preadAll(fs, fd, bytes.data(), bytes.size(), kHeaderSize);
  if (rc == -EIO || (rc == 0 && checksum(bytes) != h.bodySum)) {
    h.state = JournalState::Idle;
    return 0;
  }
  if (rc != 0) return rc;
  if (body) *body = std::move(bytes);
  return 0;
}

}  // namespace

bool JournalView::pendingFor(const struct stat& st) const {
  return present && pending(header) && header.device == static_cast<uint64_t>(st.st_dev) &&
         header.inode == static_cast<uint64_t>(st.st_ino);
}

std::string journalName(const std::string& target) {
  return siblingName(target, ".zdv-journal");
}

int viewJournal(fs::FileSystem& fs, const std::string& target, JournalView& view,
                std::string* body) {
  view = JournalView{};
  // Most files have no journal: one failed lstat, and no context to gather.
  struct stat named {};
  const int there = fs.lstat(journalName(target), named);
  if (there == -ENOENT || there == -ENOTDIR) return 0;
  if (there != 0) return there;
  SideContext ctx;
  if (const int rc = sideContextOf(fs, target, ctx); rc != 0) return rc;
  const int fd = openSide(fs, journalName(target), O_RDONLY, ctx, SideKind::Journal);
  // None, someone else's, or one this caller may not read: nothing to see.
  if (fd == -ENOENT || fd == -EEXIST || fd == -EACCES || fd == -ENOTDIR) return 0;
  if (fd < 0) return fd;
  struct stat st {};
  int rc = fs.fstat(fd, st);
  if (rc == 0) rc = readJournal(fs, fd, view.header, body);
  fs.close(fd);
  if (rc != 0) return rc;
  view.present = true;
  view.fileDevice = st.st_dev;
  view.fileInode = st.st_ino;
  return 0;
}

std::string_view resolveOverwrite(JournalState state, std::string_view current,
                                  std::string_view oldContent, std::string_view newContent) {
  if (state == JournalState::Active && current == newContent) return newContent;
  const std::size_t lo = std::min(oldContent.size(), newContent.size());
  const std::size_t hi = std::max(oldContent.size(), newContent.size());
  if (current.size() < lo || current.size() > hi) return current;
  for (std::size_t i = 0; i < current.size(); ++i) {
    const char c = current[i];
    const bool fromOld = i < oldContent.size() && oldContent[i] == c;
    const bool fromNew = i < newContent.size() && newContent[i] == c;
    if (!fromOld && !fromNew) return current;  // changed since: not ours to undo
  }
  return oldContent;
}

JournalWriter::~JournalWriter() {
  if (fd_ >= 0) fs_->close(fd_);
}

int JournalWriter::open(fs::FileSystem& fs, const std::string& target, const SideContext& ctx) {
  fs_ = &fs;
  bool created = false;
  const std::string name = journalName(target);
  fd_ = openOrCreateSide(fs, name, ctx, SideKind::Journal, created);
  if (fd_ < 0) {
    const int rc = fd_;
    fd_ = -1;
    return rc;
  }
  if (created) return syncFolder(fs, paths::folderOf(name));
  return readJournal(fs, fd_, header_, nullptr);
}

int JournalWriter::writeHeader() {
  char raw[kSlotSize];
  encode(header_, raw);
  const auto slot = static_cast<off_t>(header_.generation % 2 * kSlotSize);
  return fs::pwriteAll(*fs_, fd_, raw, sizeof raw, slot);
}

int JournalWriter::begin(const struct stat& st, std::string_view oldContent,
                         std::string_view newContent) {
  std::string body;
  body.reserve(oldContent.size() + newContent.size());
  body.append(oldContent).append(newContent);
  const uint64_t generation = header_.generation + 1;
  header_ = JournalHeader{JournalState::Active,
                          generation,
                          static_cast<uint64_t>(st.st_dev),
                          static_cast<uint64_t>(st.st_ino),
                          oldContent.size(),
                          newContent.size(),
                          checksum(body)};
  int rc = fs::pwriteAll(*fs_, fd_, body.data(), body.size(), kHeaderSize);
  if (rc == 0) rc = fs_->ftruncate(fd_, static_cast<off_t>(kHeaderSize + body.size()));
  if (rc == 0) rc = writeHeader();
  if (rc == 0) rc = fs_->fsync(fd_);
  return rc;
}

int JournalWriter::setState(JournalState state, bool sync) {
  header_.state = state;
  ++header_.generation;
  int rc = writeHeader();
  if (rc == 0 && sync) rc = fs_->fsync(fd_);
  return rc;
}

int JournalWriter::dropBody() { return fs_->ftruncate(fd_, static_cast<off_t>(kHeaderSize)); }

}  // namespace zidevuv10::store
