// The write operations of the profile store: validate, then one locked
// read-modify-write cycle that replaces the file atomically.
#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "paths/host_path.h"
#include "paths/path_map.h"
#include "store/atomic_file.h"
#include "store/edit.h"
#include "store/in_place_write.h"
#include "store/journal.h"
#include "store/side_files.h"
#include "store/whole_file.h"
#include "store/write_lock.h"
#include "store/profile_store.h"
#include "store/struct_text.h"
#include "store/write_rules.h"

namespace zidevuv10::store {

namespace {

// A failed write: its cause, and the 0 the write returns.
int32_t fail(Status& status, Status cause) {
  status = cause;
  return 0;
}

// The cause of a failed step of the read-modify-write cycle (-errno).
int32_t failStep(Status& status, int negativeErrno, Access access) {
  return fail(status, statusOfErrno(negativeErrno, access));
}

// What the locked cycle runs: the write's own plan, with the line ends of
// its new lines made CRLF where the store chooses CRLF and the file has no
// line end of its own (the plan ends them with the file's, LF by default),
// and whether a missing file is created even when nothing changes.
template <typename Planner>
struct Change {
  Planner& plan;
  bool crlfInFileWithoutLineEnd;
  bool createsEmptyFile;

  EditPlan operator()(const Document& doc) const {
    EditPlan p = plan(doc);
    if (crlfInFileWithoutLineEnd && !doc.hasLineEnd()) {
      // Written text holds no line end but those the plan put in.
      for (Splice& sp : p) {
        std::string crlf;
        crlf.reserve(sp.text.size() + 8);
        for (const char c : sp.text) {
          if (c == '\n') crlf.push_back('\r');
          crlf.push_back(c);
        }
        sp.text = std::move(crlf);
      }
    }
    return p;
  }
};

}  // namespace

template <typename Planner>
int32_t ProfileStore::modify(OptText file, Planner&& planner, Status& status,
                             OnMissingFile onMissing) {
  Change<Planner> change{planner, newFileLineEnd_ == NewFileLineEnd::CrLf,
                         onMissing == OnMissingFile::CreateEmpty};
  // Out of memory anywhere before the file is replaced leaves it untouched:
  // the write fails as any other failed write does.
  try {
    noteBareName(file);
    return modifyOnce(file, change, status);
  } catch (const std::bad_alloc&) {
    return fail(status, Status::OutOfMemory);
  }
}

template <typename Planner>
int32_t ProfileStore::modifyOnce(OptText file, Planner& planner, Status& status) {
  status = Status::Ok;
  const std::string_view name = file.value_or(kWinIni);
  if (name.empty()) return fail(status, Status::AccessDenied);
  bool madeFolders = false;
  // A round ends early only when the file changed outside the protocol
  // between two steps (replaced, or switched to a link): then look again.
  for (int round = 0; round < 8; ++round) {
    const auto path = paths::resolveProfileFile(*fs_, name, true, &folderNames_);
    if (!path) return fail(status, Status::PathNotFound);
    std::string target;
    if (const int rc = resolveWriteTarget(*fs_, path->path, target); rc != 0) {
      return failStep(status, rc, Access::Write);
    }
    WriteLock lock;
    const int locked = lock.acquire(*fs_, target);
    if (locked == -ENOENT) {
      // No folder: a change that changes nothing succeeds without creating
      // anything; drive C's folder and the Windows directory are made on
      // first need; other folders must exist, as on Windows.
      if (planner(*Document::parse({})).empty()) return 1;
      if (!madeFolders && !path->driveCFolder.empty() &&
          paths::createSystemFolders(*fs_, *path) == 0) {
        madeFolders = true;
        continue;
      }
      return fail(status, Status::PathNotFound);
    }
    if (locked != 0) return failStep(status, locked, Access::Write);

    struct stat seen {};
    if (fs_->lstat(target, seen) == -ENOENT) {
      // Another writer may have created the file under another spelling
      // while this one waited for the lock (all spellings share it): look
      // again, now that no one can.
      std::string again;
      const auto matched = paths::resolveProfileFile(*fs_, name, true, &folderNames_);
      if (matched && resolveWriteTarget(*fs_, matched->path, again) == 0 && again != target &&
          paths::folderOf(again) == paths::folderOf(target)) {
        target = std::move(again);
      }
    }
    WholeFile whole;
    if (const int rc = readWholeFile(*fs_, cache_, target, whole); rc != 0) {
      if (rc == -EAGAIN || rc == -ELOOP) continue;
      return failStep(status, rc, Access::Read);
    }
    SideContext ctx;
    if (const int rc = sideContextOf(*fs_, target, ctx); rc != 0) {
      return failStep(status, rc, Access::Write);
    }
    const bool exists = whole.snap.exists;
    const bool byRename = !exists || renameKeepsIdentity(*fs_, whole.snap.st);
    std::shared_ptr<const Document> base = whole.doc;
    // What the disk holds before this write: an interrupted overwrite is
    // settled first where this writer overwrites in place too; by rename,
    // the new file is built from the resolved content.
    std::string_view onDisk = whole.snap.doc->raw();
    if (whole.pending && !byRename) {
      if (const int rc = settleOverwrite(*fs_, target, ctx, whole.snap.st, onDisk, base->raw());
          rc != 0) {
        return failStep(status, rc, Access::Write);
      }
      onDisk = base->raw();
    }
    // Leftovers are looked for when a writer may have died here (its lock
    // file stayed), and now and then whatever the signs (atomic_file.h).
    if (sweeps_.due(target) || lock.foundLockFile()) {
      if (const int rc = removeLeftover(*fs_, target); rc != 0) {
        return failStep(status, rc, Access::Write);
      }
    }
    EditPlan plan = planner(*base);
    std::optional<std::string> bytes;
    if (plan.empty()) {
      if (onDisk == base->raw() && (exists || !planner.createsEmptyFile)) return 1;
      bytes = std::string(base->raw());  // only the resolution (or an empty file) to write
    } else {
      bytes = applyPlan(*base, plan);
      if (!bytes) {
        // A legacy 8-bit file that cannot hold the new text is rewritten as
        // UTF-8, so that no character is lost; a binary file is left alone.
        if (base->encoding() != text::Encoding::Windows1252 || base->looksBinary()) {
          return fail(status, Status::Unencodable);
        }
        base = Document::parse(text::decodeToUtf8(text::Encoding::Windows1252, base->raw()));
        plan = planner(*base);
        bytes = applyPlan(*base, plan);
        if (!bytes) return fail(status, Status::Unencodable);
      }
    }
    if (*bytes == onDisk && exists) return 1;
    const struct stat* previous = exists ? &whole.snap.st : nullptr;
    const int rc = replaceFile(*fs_, target, *bytes, onDisk, previous, ctx);
    if (rc != 0) sweeps_.again(target);  // its temporary file may have stayed
    if (rc == -ESTALE) continue;
    if (rc != 0) return failStep(status, rc, Access::Write);
    if (whole.pending && byRename) {
      // The journal names the file just replaced, whose inode number a
      // later file may reuse: it must not stay pending.
      settleStaleJournal(*fs_, target, ctx);
    }
    try {
      cache_.remember(*fs_, target, documentAfter(*base, plan, std::move(*bytes)), previous);
    } catch (const std::bad_alloc&) {
      // The file is written; the cache merely goes without the new version
      // (every cached copy is checked against the file before use).
    }
    return 1;
  }
  // The file kept being replaced behind the lock's back.
  return fail(status, Status::WriteFault);
}

int32_t ProfileStore::sync(OptText file, Status& status) {
  status = Status::Ok;
  const std::string_view name = file.value_or(kWinIni);
  if (name.empty()) return fail(status, Status::FileNotFound);
  const auto path = paths::resolveProfileFile(*fs_, name, true, &folderNames_);
  if (!path) return fail(status, Status::PathNotFound);
  std::string target;
  int rc = resolveWriteTarget(*fs_, path->path, target);
  if (rc == 0) rc = syncFileAndFolder(*fs_, target);
  if (rc != 0) return failStep(status, rc, Access::Write);
  return 1;
}

int32_t ProfileStore::flush(OptText file) {
  // The result is always 0, as on Windows.
  Status ignored = Status::Ok;
  sync(file, ignored);
  return 0;
}

int32_t ProfileStore::writeString(OptText section, OptText key, OptText value, OptText file,
                                  Status& status) {
  status = Status::Ok;
  if (!section && !key && !value) return flush(file);
  if (!section) return fail(status, Status::FileNotFound);
  if (!acceptableSection(*section)) return fail(status, refusalOf({section}));
  // A delete in a missing file leaves an empty file, as on Windows.
  if (!key) {
    return modify(
        file, [&](const Document& d) { return planDeleteSection(d, *section); }, status,
        OnMissingFile::CreateEmpty);
  }
  const auto k = acceptableKey(*key);
  if (!k) return fail(status, refusalOf({key}));
  if (!value) {
    return modify(
        file, [&](const Document& d) { return planDeleteKey(d, *section, *k); }, status,
        OnMissingFile::CreateEmpty);
  }
  const auto v = acceptableValue(*value);
  if (!v) return fail(status, refusalOf({value}));
  return modify(
      file, [&](const Document& d) { return planWriteValue(d, *section, *k, *v); }, status);
}

int32_t ProfileStore::writeSection(OptText section, OptText entries, OptText file,
                                   Status& status) {
  status = Status::Ok;
  if (!section && !entries) return flush(file);
  if (!section) return fail(status, Status::FileNotFound);
  if (!acceptableSection(*section)) return fail(status, refusalOf({section}));
  if (!entries) {
    return modify(
        file, [&](const Document& d) { return planDeleteSection(d, *section); }, status,
        OnMissingFile::CreateEmpty);
  }
  const auto list = acceptableEntries(*entries);
  if (!list) return fail(status, refusalOf({entries}));
  return modify(
      file, [&](const Document& d) { return planReplaceSection(d, *section, *list); }, status);
}

int32_t ProfileStore::writeStruct(OptText section, OptText key,
                                  std::optional<std::span<const uint8_t>> data, OptText file,
                                  Status& status) {
  if (!data) return writeString(section, key, std::nullopt, file, status);
  const std::string text = encodeStruct(*data);
  return writeString(section, key, text, file, status);
}

int32_t ProfileStore::writeString(OptText section, OptText key, OptText value, OptText file) {
  Status status = Status::Ok;
  return writeString(section, key, value, file, status);
}

int32_t ProfileStore::writeSection(OptText section, OptText entries, OptText file) {
  Status status = Status::Ok;
  return writeSection(section, entries, file, status);
}

int32_t ProfileStore::writeValues(std::span<const ValueWrite> writes, OptText file,
                                  Status& status) {
  status = Status::Ok;
  const auto accepted = acceptableWrites(writes, status);
  if (!accepted) return 0;
  return modify(
      file, [&](const Document& d) { return planWriteValues(d, *accepted); }, status);
}

int32_t ProfileStore::update(const std::function<EditPlan(const Document&)>& planner,
                             OptText file, Status& status, bool& changed) {
  changed = false;
  return modify(
      file,
      [&](const Document& d) {
        EditPlan plan = planner(d);
        // A file whose encoding cannot hold the text is rewritten (as UTF-8).
        const auto bytes = plan.empty() ? std::nullopt : applyPlan(d, plan);
        changed = !plan.empty() && (!bytes || *bytes != d.raw());
        return plan;
      },
      status);
}

int32_t ProfileStore::writeValues(std::span<const ValueWrite> writes, OptText file) {
  Status status = Status::Ok;
  return writeValues(writes, file, status);
}

}  // namespace zidevuv10::store
