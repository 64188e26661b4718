// Reading a settings file as one whole version, without any lock
// (WRITE_PROTOCOL.md, "A reader"): the journal's header before and after,
// the file opened without following a link and checked by its descriptor,
// its identity unchanged; a pending overwrite in place is resolved.
#pragma once

#include <memory>
#include <string>

#include "fs/file_system.h"
#include "store/document.h"
#include "store/file_cache.h"
#include "store/journal.h"

namespace zidevuv10::store {

struct WholeFile {
  Snapshot snap;                        // the file's bytes as read
  std::shared_ptr<const Document> doc;  // what it holds: snap.doc, or the resolution
  bool pending = false;                 // a pending overwrite was resolved
  JournalView journal;                  // the journal as seen around the read
};

// Reads `target` (a path whose last part the caller found to be no link).
// 0; -EAGAIN when the file or its journal changed during the read (look
// again); or -errno. A document read whole and not pending is kept in the
// cache.
int readWholeFile(fs::FileSystem& fs, FileCache& cache, const std::string& target,
                  WholeFile& out);

}  // namespace zidevuv10::store
