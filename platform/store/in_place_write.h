// Overwriting a file in place, for files a replacement by rename would
// change: another user's file (the new copy could not carry its owner) or
// one with several hard links (the others would keep the old content).
// Behind the file's journal (store/journal.h), as WRITE_PROTOCOL.md
// describes: the journal holds the old and the new content, synced and
// marked Active, before the file is touched; a crash anywhere leaves a
// file that every reader and writer resolves to the old or the new content.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "fs/file_system.h"
#include "store/side_files.h"

namespace zidevuv10::store {

// Opens `target` for writing, making sure it is still the regular file
// `st` names (decided on the descriptor, not the name): the descriptor,
// -ESTALE when it is not (or is a link now), -EACCES, or -errno. With
// `opened`, the descriptor's stat goes there.
int openSameFile(fs::FileSystem& fs, const std::string& target, const struct stat& st,
                 struct stat* opened = nullptr);

// Overwrites `target`, open for writing as `fd` (from openSameFile; its
// stat, as read, is `st`, holding `oldBytes`) with `bytes`; to be called
// with the writers' lock held; the caller closes `fd`. 0 or -errno
// (-EEXIST: another user's journal is in the way). On failure the old
// content is back, or the journal says Aborted: the new content is never
// seen.
int overwriteInPlace(fs::FileSystem& fs, int fd, const std::string& target,
                     const SideContext& ctx, const struct stat& st, std::string_view bytes,
                     std::string_view oldBytes);

// Makes the file hold `resolved`, the resolution of a pending overwrite,
// and marks the journal Idle; with the writers' lock held, before this
// writer overwrites the file in place itself or when it changes nothing.
// 0 or -errno.
int settleOverwrite(fs::FileSystem& fs, const std::string& target, const SideContext& ctx,
                    const struct stat& st, std::string_view current, std::string_view resolved);

// Marks a pending journal Idle after the file it names was replaced by
// rename (its inode number may come back for another file), synced.
// Best effort: 0 or -errno, and the write it follows stands either way.
int settleStaleJournal(fs::FileSystem& fs, const std::string& target, const SideContext& ctx);

}  // namespace zidevuv10::store
