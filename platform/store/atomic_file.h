// Durable, atomic replacement of a file.
//
// A new version is written to a temporary file in the same folder, synced
// and renamed over the original, so that a crash of the process or the
// machine leaves the old or the new file, never a torn one. The temporary
// file has a fixed name per target (".<name>.zdv-tmp"): writers hold the
// folder lock (store/folder_lock.h) while it exists, so a leftover from a
// crash is simply overwritten by the next write, and a failed write removes it.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "fs/file_system.h"

namespace zidevuv10::store {

// Follows symbolic links (also dangling ones) to the file a write must
// replace; 0 or -errno.
int resolveWriteTarget(fs::FileSystem& fs, const std::string& path, std::string& target);

std::string folderOf(const std::string& path);

// Replaces (or creates) the file with the bytes. `previous` is the stat of
// the file being replaced (its permissions and owner are kept), or null for
// a new file. 0 or -errno; on failure the original is untouched and no
// temporary file remains.
int replaceFile(fs::FileSystem& fs, const std::string& target, std::string_view bytes,
                const struct stat* previous);

// Removes a temporary file a crashed writer left for this target; to be
// called with the folder lock held. 0 or -errno.
int removeLeftover(fs::FileSystem& fs, const std::string& target);

// Makes the file and its folder entry durable; 0 or -errno.
int syncFileAndFolder(fs::FileSystem& fs, const std::string& path);

}  // namespace zidevuv10::store
