// The read operations of the profile store.
#include <cerrno>
#include <chrono>
#include <thread>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "paths/drives.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "store/answers.h"
#include "store/atomic_file.h"
#include "store/in_place_write.h"
#include "store/side_files.h"
#include "store/whole_file.h"
#include "store/write_lock.h"
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

// A listing of a section and what it points into: the document's kept
// listing, or the scratch text it was put together in.
struct KeptList {
  std::shared_ptr<const Document> doc;
  std::string scratch;
};

// How often, and how long, a read looks again at a file that changed while
// it was read: writers hold a file changing for milliseconds.
constexpr int kReadRounds = 200;
constexpr auto kReadPause = std::chrono::microseconds(500);

}  // namespace

void ProfileStore::repairPending(const std::string& target) {
  // A file left torn by an interrupted overwrite is put right by a reader
  // that may write it and finds no writer at work; otherwise it stays for
  // the next write (this read has its answer either way).
  WriteLock lock;
  if (lock.acquire(*fs_, target, 0) != 0) return;
  WholeFile whole;
  SideContext ctx;
  if (readWholeFile(*fs_, cache_, target, whole) != 0 || !whole.pending ||
      sideContextOf(*fs_, target, ctx) != 0) {
    return;
  }
  settleOverwrite(*fs_, target, ctx, whole.snap.st, whole.snap.doc->raw(), whole.doc->raw());
}

std::shared_ptr<const Document> ProfileStore::loadForRead(OptText file, Status& status) {
  noteBareName(file);
  const std::string_view name = file.value_or(kWinIni);
  auto failed = [&](int negativeErrno) -> std::shared_ptr<const Document> {
    status = statusOfErrno(negativeErrno, Access::Read);
    return nullptr;
  };
  for (int round = 0; round < kReadRounds; ++round) {
    if (round > 1) std::this_thread::sleep_for(kReadPause);
    // First the path as given; only when nothing is there, a case-insensitive match.
    auto path = paths::resolveProfileFile(*fs_, name, false);
    if (!path) {
      status = Status::FileNotFound;
      return nullptr;
    }
    std::string target = path->path;
    Snapshot probe = cache_.probe(*fs_, target);
    if (probe.error == 0 && !probe.exists) {
      const auto matched = paths::resolveProfileFile(*fs_, name, true, &folderNames_);
      if (matched && matched->path != target) {
        target = matched->path;
        probe = cache_.probe(*fs_, target);
      }
    }
    if (probe.error == -ELOOP) {
      // A symbolic link: followed only where the link rules allow (as for
      // writes), to a file that is then read without following any link.
      std::string linked;
      if (const int rc = resolveWriteTarget(*fs_, target, linked); rc != 0) return failed(rc);
      target = std::move(linked);
      probe = cache_.probe(*fs_, target);
      if (probe.error == -ELOOP) continue;  // switched to a link since: look again
    }
    if (probe.error != 0) return failed(probe.error);
    if (!probe.exists) {
      status = Status::FileNotFound;  // nothing there, so nothing half written
      return nullptr;
    }
    if (probe.settled) {
      status = Status::Ok;
      return probe.doc;
    }
    WholeFile whole;
    const int rc = readWholeFile(*fs_, cache_, target, whole);
    if (rc == -EAGAIN || rc == -ELOOP) continue;
    if (rc != 0) return failed(rc);
    if (whole.pending) repairPending(target);
    status = whole.snap.exists ? Status::Ok : Status::FileNotFound;
    return whole.snap.exists ? whole.doc : nullptr;
  }
  // The file kept changing all the time allowed.
  return failed(-EAGAIN);
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
