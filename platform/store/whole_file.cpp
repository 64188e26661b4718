#include "store/whole_file.h"

#include <cerrno>

namespace zidevuv10::store {

int readWholeFile(fs::FileSystem& fs, FileCache& cache, const std::string& target,
                  WholeFile& out) {
  out = WholeFile{};
  std::string body;
  if (const int rc = viewJournal(fs, target, out.journal, &body); rc != 0) return rc;
  out.snap = cache.read(fs, target);
  if (out.snap.error != 0) return out.snap.error;
  JournalView after;
  if (const int rc = viewJournal(fs, target, after); rc != 0) return rc;
  if (!(after == out.journal)) return -EAGAIN;
  struct stat now {};
  const int rc = fs.lstat(target, now);
  if (out.snap.exists ? rc != 0 || identityOf(now) != identityOf(out.snap.st)
                      : rc != -ENOENT && rc != -ENOTDIR) {
    return -EAGAIN;
  }
  if (!out.snap.exists || !out.journal.pendingFor(out.snap.st)) {
    out.doc = out.snap.doc;
    cache.keep(out.snap);
    return 0;
  }
  const std::string_view all = body;
  const JournalHeader& h = out.journal.header;
  const std::string_view current = out.snap.doc->raw();
  const std::string_view resolved = resolveOverwrite(h.state, current, all.substr(0, h.oldLength),
                                                     all.substr(h.oldLength, h.newLength));
  out.pending = true;
  out.doc = resolved == current ? out.snap.doc : Document::parse(std::string(resolved));
  return 0;
}

}  // namespace zidevuv10::store
