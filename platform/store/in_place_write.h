// Overwriting a file in place, for files a replacement by rename would
// change: another user's file (the new copy could not carry its owner) or
// one with several hard links (the others would keep the old content).
//
// The new content first goes, synced, to a journal beside the file
// (".<name>.zdv-journal", created exclusively); then the file gets a second
// name, ".<name>.zdv-busy", a hard link that marks the overwrite as under
// way; then the file is overwritten and synced, the mark goes and the
// journal goes. A crash in between leaves the journal and the mark; the next
// access (read or write) finishes the overwrite, so the file is seen old or
// new, never torn.
//
// Readers take no lock. A read is whole when a stat() after it shows the
// file as the stat() before it did and with one link only; a file with
// more links is whole when no mark is beside it. The overwrite makes the
// change time move past every value it had during the overwrite (waiting
// out one timestamp tick if need be) before the mark goes, so a read that
// overlapped an overwrite always sees a different change time or the mark.
//
// A journal is trusted only when its author could have written the file
// anyway: the caller, root, the file's owner or a member of its group when
// those may write it, or anyone when everybody may. Anyone else's journal
// or mark is neither used nor removed.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "fs/file_system.h"

namespace zidevuv10::store {

// Overwrites `target` (whose stat is `st`) with `bytes`; to be called with
// the folder lock held. Should the overwrite fail half way, `oldBytes` are
// put back. 0 or -errno (-EEXIST: a journal or mark someone else left is in
// the way).
int overwriteInPlace(fs::FileSystem& fs, const std::string& target, const struct stat& st,
                     std::string_view bytes, std::string_view oldBytes);

// Whether an overwrite of `target` may be under way or interrupted (its
// mark is there, or its absence cannot be seen).
bool overwritePending(fs::FileSystem& fs, const std::string& target);

// Finishes an interrupted overwrite of `target`; to be called with the
// folder lock held. 0 when nothing was pending or it is finished now; when
// the caller may not write the file, 0 with `served` set to the content the
// file is to have. -errno when a pending overwrite cannot be judged or
// finished.
int finishInterruptedOverwrite(fs::FileSystem& fs, const std::string& target,
                               std::optional<std::string>& served);

}  // namespace zidevuv10::store
