// The journal of overwrites in place, ".<name>.zdv-journal" beside the
// settings file (WRITE_PROTOCOL.md, "The journal"): two 80-byte header
// slots written in turn (state, generation, the file's device and inode,
// lengths and checksums; the newer valid slot counts) and a body holding the old and the new content of the overwrite it
// describes. It is never removed by the store; readers compare its header
// before and after reading the file, as a sequence lock.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/file_system.h"
#include "store/side_files.h"

namespace zidevuv10::store {

enum class JournalState : uint32_t { Idle = 0, Active = 1, Aborted = 2 };

struct JournalHeader {
  JournalState state = JournalState::Idle;
  uint64_t generation = 0;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t oldLength = 0;
  uint64_t newLength = 0;
  uint64_t bodySum = 0;
  bool operator==(const JournalHeader&) const = default;
};

// What a reader saw of the journal at one moment.
struct JournalView {
  bool present = false;  // a trusted journal is there
  dev_t fileDevice = 0;  // of the journal file itself
  ino_t fileInode = 0;
  JournalHeader header;  // Idle when absent, cut short or untrusted
  bool operator==(const JournalView&) const = default;
  // Whether it describes an overwrite of the file `st` that must be resolved.
  bool pendingFor(const struct stat& st) const;
};

std::string journalName(const std::string& target);

// Reads the journal's header (and, when `body` is given and the header is
// pending, its body: old then new content). 0 or -errno; an absent or
// untrusted journal is a view with present false.
int viewJournal(fs::FileSystem& fs, const std::string& target, JournalView& view,
                std::string* body = nullptr);

// The content the file holds, given the journal's state, the file's
// current bytes and the body's old and new content.
std::string_view resolveOverwrite(JournalState state, std::string_view current,
                                  std::string_view oldContent, std::string_view newContent);

// A journal open for writing, with the header it last held.
class JournalWriter {
 public:
  JournalWriter() = default;
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;
  ~JournalWriter();

  // Opens or creates the journal of `target`; 0 or -errno (-EEXIST: an
  // untrusted one is in the way). A new journal's folder entry is synced.
  int open(fs::FileSystem& fs, const std::string& target, const SideContext& ctx);
  const JournalHeader& header() const { return header_; }
  // Writes the body and an Active header for the file `st`, synced.
  int begin(const struct stat& st, std::string_view oldContent, std::string_view newContent);
  // Sets the state (with the next generation); synced when asked.
  int setState(JournalState state, bool sync);
  // Cuts the journal to its header.
  int dropBody();

 private:
  int writeHeader();

  fs::FileSystem* fs_ = nullptr;
  int fd_ = -1;
  JournalHeader header_;
};

}  // namespace zidevuv10::store
