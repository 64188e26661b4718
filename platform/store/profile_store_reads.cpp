// The read operations of the profile store.
#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "paths/drives.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "store/answers.h"
#include "store/atomic_file.h"
#include "store/folder_lock.h"
#include "store/in_place_write.h"
#include "store/int_text.h"
#include "store/profile_store.h"
#include "store/struct_text.h"
#include "text/blanks.h"

namespace zidevuv10::store {

ProfileStore::ProfileStore(std::shared_ptr<fs::FileSystem> fs, NewFileLineEnd newFileLineEnd,
                           BareNameSeen bareNameSeen)
    : fs_(std::move(fs)), newFileLineEnd_(newFileLineEnd), bareNameSeen_(std::move(bareNameSeen)) {}

void ProfileStore::noteBareName(OptText file) {
  if (!bareNameSeen_ || !file || !paths::isBareName(*file)) return;
  if (const auto host = paths::resolveProfileFile(*fs_, *file)) bareNameSeen_(*file, host->path);
}

namespace {

// Whether no overwrite in place of the file `st` describes is under way:
// only a file with several links can show one (its mark is a link).
bool noOverwriteUnderWay(fs::FileSystem& fs, const std::string& path, const struct stat& st) {
  if (st.st_nlink <= 1) return true;
  std::string target;
  return resolveWriteTarget(fs, path, target) == 0 && !overwritePending(fs, target);
}

// The answer of a read that ran out of memory: as for a file that cannot be
// read (the fallback allocates nothing), with the cause kept.
Answer outOfMemory(Status& status, Answer fallback) {
  status = Status::OutOfMemory;
  return fallback;
}

// The forms without a status have no other way to tell that memory ran
// out, and a default in its place would pass for the file's answer: they
// throw, and the classes turn that into error 7.
void throwIfOutOfMemory(Status status) {
  if (status == Status::OutOfMemory) throw std::bad_alloc();
}

// Whether a read that went through a symbolic link may answer: a link in a
// sticky world-writable folder is followed only when its owner is the
// caller or the folder's owner, as writes do, also where the kernel's own
// rule for such links (fs.protected_symlinks) is off. 0 or -EACCES.
int checkReadLink(fs::FileSystem& fs, const Snapshot& snap, const std::string& path) {
  if (!snap.throughLink) return 0;
  std::string target;
  return resolveWriteTarget(fs, path, target) == -EACCES ? -EACCES : 0;
}

// A listing of a section and what it points into: the document's kept
// listing, or the scratch text it was put together in.
struct KeptList {
  std::shared_ptr<const Document> doc;
  std::string scratch;
};

// Whether a read of `path` that gave `snap` saw one whole version: the file
// did not change while it was read, and no overwrite in place is under way.
bool readWasWhole(fs::FileSystem& fs, const std::string& path, const Snapshot& snap) {
  if (!snap.exists) return true;
  struct stat now {};
  if (fs.stat(path, now) != 0 || identityOf(now) != identityOf(snap.st)) return false;
  return noOverwriteUnderWay(fs, path, now);
}

}  // namespace

std::shared_ptr<const Document> ProfileStore::loadForRead(OptText file, Status& status) {
  noteBareName(file);
  const std::string_view name = file.value_or(kWinIni);
  // The answer for a read that found the file (or found none) whole.
  auto found = [&](const Snapshot& s) -> std::shared_ptr<const Document> {
    status = s.exists ? Status::Ok : Status::FileNotFound;
    return s.exists ? s.doc : nullptr;
  };
  auto failed = [&](int negativeErrno) -> std::shared_ptr<const Document> {
    status = statusOfErrno(negativeErrno, Access::Read);
    return nullptr;
  };
  std::string path;
  Snapshot snap;
  for (int attempt = 0; attempt < 3; ++attempt) {
    // First the path as given; only when nothing is there, a case-insensitive match.
    const auto guess = paths::resolveProfileFile(*fs_, name, false);
    if (!guess) {
      status = Status::FileNotFound;
      return nullptr;
    }
    path = guess->path;
    snap = cache_.load(*fs_, path);
    if (snap.error == 0 && !snap.exists) {
      const auto matched = paths::resolveProfileFile(*fs_, name, true);
      if (matched && matched->path != guess->path) {
        path = matched->path;
        snap = cache_.load(*fs_, path);
      }
    }
    if (snap.error != 0) return failed(snap.error);
    if (const int rc = checkReadLink(*fs_, snap, path); rc != 0) return failed(rc);
    // A document found whole before, for this very identity of the file,
    // was not read now: only an overwrite begun since could matter.
    if (wholeReads_.known(snap) ? noOverwriteUnderWay(*fs_, path, snap.st)
                                : readWasWhole(*fs_, path, snap)) {
      if (snap.exists) wholeReads_.remember(snap);
      return found(snap);
    }
  }
  // An overwrite in place is under way or was interrupted, or the file
  // keeps changing: read it under the writers' lock, finishing an
  // interrupted overwrite first.
  std::string target;
  if (const int rc = resolveWriteTarget(*fs_, path, target); rc != 0) return failed(rc);
  FolderLock lock;
  if (const int rc = lock.acquire(*fs_, paths::folderOf(target)); rc != 0) return failed(rc);
  std::optional<std::string> served;
  if (const int rc = finishInterruptedOverwrite(*fs_, target, served); rc != 0) return failed(rc);
  if (served) {
    status = Status::Ok;
    return Document::parse(std::move(*served));
  }
  snap = cache_.load(*fs_, target);
  if (snap.error != 0) return failed(snap.error);
  return found(snap);
}

Answer ProfileStore::readString(OptText section, OptText key, OptText defaultValue, OptText file,
                                Status& status) {
  const std::string_view def =
      stripQuotes(text::trimTrailingSpaces(defaultValue.value_or(std::string_view())));
  if (!section) return readSectionNames(file, status);
  try {
    return readValueOrKeys(*section, key, def, file, status);
  } catch (const std::bad_alloc&) {
    return outOfMemory(status, Answer::value(def));
  }
}

Answer ProfileStore::readValueOrKeys(std::string_view section, OptText key, std::string_view def,
                                     OptText file, Status& status) {
  auto doc = loadForRead(file, status);
  Answer answer = Answer::value(def);
  if (!doc) return answer;
  // Empty names are names: section "" is the one headed "[]", key "" a
  // line "=value" of its section.
  if (!key) {
    // The section's key names (not trimmed: listings take the name as given).
    const int s = doc->findSection(section);
    if (s < 0) {
      answer.found = Found::NoSection;
      return answer;
    }
    auto list = std::make_shared<KeptList>(KeptList{doc, {}});
    const std::string_view keys = doc->keyList(s, list->scratch);
    if (keys.empty()) {
      answer.found = Found::NoKey;
      return answer;
    }
    answer = Answer::list(keys);
    answer.keep = std::move(list);
    return answer;
  }
  const int s = doc->findSection(text::trimBlanks(section));
  if (s < 0) {
    answer.found = Found::NoSection;
  } else if (const auto l = doc->findKey(s, text::trimBlanks(*key))) {
    answer = Answer::value(stripQuotes(doc->value(*l)));
  } else {
    answer.found = Found::NoKey;
  }
  answer.keep = std::move(doc);
  return answer;
}

Answer ProfileStore::readSection(OptText section, OptText file, Status& status) {
  if (!section) {
    status = Status::InvalidArgument;
    return Answer::emptyList(0);
  }
  try {
    auto doc = loadForRead(file, status);
    const int s = doc ? doc->findSection(*section) : -1;
    if (s < 0) {
      Answer none = Answer::emptyList(2);
      if (doc) none.found = Found::NoSection;
      return none;
    }
    auto list = std::make_shared<KeptList>(KeptList{doc, {}});
    const std::string_view entries = doc->entryList(s, list->scratch);
    if (entries.empty()) return Answer::emptyList(2);
    Answer answer = Answer::list(entries);
    answer.keep = std::move(list);
    return answer;
  } catch (const std::bad_alloc&) {
    return outOfMemory(status, Answer::emptyList(2));
  }
}

Answer ProfileStore::readSectionNames(OptText file, Status& status) {
  try {
    auto doc = loadForRead(file, status);
    if (!doc) return Answer::list({});
    Answer answer = Answer::list(doc->sectionNameList());
    answer.keep = std::move(doc);
    return answer;
  } catch (const std::bad_alloc&) {
    return outOfMemory(status, Answer::list({}));
  }
}

uint32_t ProfileStore::getString(OptText section, OptText key, OptText defaultValue,
                                 std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  Status status = Status::Ok;
  Answer answer = readString(section, key, defaultValue, file, status);
  throwIfOutOfMemory(status);
  return place(buffer, answer);
}

uint32_t ProfileStore::getInt(OptText section, OptText key, int32_t defaultValue, OptText file,
                              Status& status, Found* found) {
  // The value is read through a small buffer, as Windows does (29 characters).
  char buffer[30];
  const Answer answer = readString(section, key, "", file, status);
  if (found) *found = answer.found;
  place(buffer, answer);
  if (buffer[0] == '\0') return static_cast<uint32_t>(defaultValue);
  return parseProfileInt(buffer);
}

uint32_t ProfileStore::getInt(OptText section, OptText key, int32_t defaultValue, OptText file) {
  Status status = Status::Ok;
  const uint32_t value = getInt(section, key, defaultValue, file, status);
  throwIfOutOfMemory(status);
  return value;
}

uint32_t ProfileStore::getSection(OptText section, std::span<char> buffer, OptText file) {
  if (buffer.empty() || !section) return 0;
  Status status = Status::Ok;
  Answer answer = readSection(section, file, status);
  throwIfOutOfMemory(status);
  return place(buffer, answer);
}

uint32_t ProfileStore::getSectionNames(std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  Status status = Status::Ok;
  Answer answer = readSectionNames(file, status);
  throwIfOutOfMemory(status);
  return place(buffer, answer);
}

bool ProfileStore::getStruct(OptText section, OptText key, std::span<uint8_t> out, OptText file,
                             Status& status) {
  if (!section || !key) {
    status = Status::InvalidArgument;
    return false;
  }
  std::shared_ptr<const Document> doc;
  try {
    doc = loadForRead(file, status);
  } catch (const std::bad_alloc&) {
    status = Status::OutOfMemory;
    return false;
  }
  // No stored text (no file, section or key) reads as "", which has not the
  // structure's length: the read fails as for text of another length.
  if (!doc) {
    if (status == Status::FileNotFound) status = Status::BadLength;
    return false;
  }
  const std::optional<Line> l =
      doc->findKey(doc->findSection(text::trimBlanks(*section)), text::trimBlanks(*key));
  if (!l) {
    status = Status::BadLength;
    return false;
  }
  status = decodeStruct(stripQuotes(doc->value(*l)), out);
  return status == Status::Ok;
}

uint32_t ProfileStore::windowsDirectory(std::span<char> buffer) const {
  const std::string_view dir = paths::kWindowsDirectory;
  if (buffer.size() <= dir.size()) return static_cast<uint32_t>(dir.size() + 1);
  return placeValue(buffer, dir);
}

}  // namespace zidevuv10::store
