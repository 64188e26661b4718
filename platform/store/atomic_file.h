// Atomic replacement of a file.
//
// A new version is written to a temporary file in the same folder, synced
// and renamed over the original, so that a crash of the process or the
// machine leaves the old or the new file, never a torn one (the rename is
// durable once the folder is synced: by the all-absent flush). The temporary
// file is created exclusively under an unpredictable name
// (".<name>.zdv-tmp.<12 random letters and digits>"), so that in a shared
// folder nobody can prepare or take it over; leftovers of the caller's own
// from a crash are removed by the next write, anyone else's are left alone.
// The new copy takes the file's owner, group, mode and extended attributes
// (POSIX ACLs among them). Where it cannot carry them (a file of another
// user, a group the caller is not in) or the file has several hard links,
// the file is overwritten in place instead, under a journal
// (store/in_place_write.h).
//
// Callers hold the writers' lock of the file (store/write_lock.h).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <string_view>

#include "fs/file_system.h"
#include "store/side_files.h"
#include "sync/fork_safe_mutex.h"

namespace zidevuv10::store {

// Follows symbolic links (also dangling ones) to the file a write must
// replace; 0 or -errno. A link in a sticky world-writable folder is followed
// only when it belongs to the caller or to the folder's owner (-EACCES).
int resolveWriteTarget(fs::FileSystem& fs, const std::string& path, std::string& target);

// ".<name><suffix>" beside the target (long names shortened to a hash).
std::string siblingName(const std::string& target, std::string_view suffix);

// Replaces (or creates) the file with the bytes. `previous` is the stat of
// the file being replaced, as read, or null for a new file; `oldBytes` is
// what it holds (to put back should an in-place overwrite fail half way);
// `ctx` what its side files are judged against. 0 or -errno: -EACCES when
// the caller may not write the file, -ESTALE when the file is no longer
// the one read. On failure the original is untouched and no temporary
// file remains.
int replaceFile(fs::FileSystem& fs, const std::string& target, std::string_view bytes,
                std::string_view oldBytes, const struct stat* previous, const SideContext& ctx);

// Whether the file may go by rename: the new copy can carry the file's
// owner (it is the caller's, or the caller is root) and no other name
// shares the file.
bool renameKeepsIdentity(fs::FileSystem& fs, const struct stat& st);

// Removes temporary files that crashed writers of the caller's left for
// this target; to be called with the writers' lock held. 0 or -errno.
int removeLeftover(fs::FileSystem& fs, const std::string& target);

// When a writer looks for leftovers beside the other signs (removeLeftover
// lists the folder, which costs as much as the folder is big): at a store's
// first write of a file, at every kEvery-th write of it, and at the next
// after a failed one. The writer also looks whenever it found the writers'
// lock file there before it (write_lock.h): a writer that dies while it
// has a temporary file holds the lock and leaves its lock file, so its
// leftover goes with the next write in practice; the count bounds the rest
// (the lock file removed by hand, the folder's lock in its place).
class LeftoverSweeps {
 public:
  static constexpr uint32_t kEvery = 1024;
  // Files counted at once; past that the count starts again (every file's
  // next write sweeps).
  static constexpr std::size_t kMaxFiles = 4096;

  // Whether this write of `target` is to sweep; counts the write.
  bool due(const std::string& target);
  // Makes the next write of `target` sweep: after a failed write, whose
  // temporary file may have stayed.
  void again(const std::string& target);

 private:
  sync::ForkSafeMutex mutex_;
  std::unordered_map<std::string, uint32_t> writes_;
};

// Syncs a folder's entries; 0 or -errno.
int syncFolder(fs::FileSystem& fs, const std::string& folder);

// Makes the file and its folder entry durable; 0 or -errno.
int syncFileAndFolder(fs::FileSystem& fs, const std::string& path);

}  // namespace zidevuv10::store
