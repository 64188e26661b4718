// The profile store: reads and writes initialization files with the answers
// of the Windows profile API. This is the interface the library's classes
// call; the C functions of <zidevuv10/profile.h> are a thin layer over it.
//
// Arguments are UTF-8. An absent argument (std::nullopt) is distinct from
// empty text and carries the Windows meaning: an absent key lists the keys,
// an absent value deletes the key, an absent file is WIN.INI, and so on.
// Buffers count bytes; an empty span is a buffer of size 0.
//
// Every member also comes in a form with a Status out-parameter that says
// why a read found nothing or a write did not happen (see store/status.h);
// the read* members give a read's whole answer before it meets a buffer, so
// that a caller can place it in a buffer of its own kind (UTF-16 units).
//
// Thread and process safety: every member may be called from any thread at
// once. Writes replace the file atomically and durably before returning;
// read-modify-write cycles on one file are serialised across threads and
// processes by a lock on the file's folder. Reads see every change made
// before they started, also by other processes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "fs/file_system.h"
#include "paths/folder_names.h"
#include "store/answers.h"
#include "store/atomic_file.h"
#include "store/edit.h"
#include "store/file_cache.h"
#include "store/status.h"

namespace zidevuv10::store {

using OptText = std::optional<std::string_view>;

// The line end of the lines a write adds to a file that has none of its own
// (a new or empty file, or a single line without an end): LF, the Linux
// convention, or CRLF, the bytes Windows writes. A file with a line end
// keeps its own either way.
enum class NewFileLineEnd : uint8_t { Lf, CrLf };

// Called each time a read or write names a file by a bare name (no folder,
// no drive), with that name and the host path it reaches in the Windows
// directory; a front end whose users expect the current folder tells them.
using BareNameSeen = std::function<void(std::string_view name, const std::string& hostPath)>;

class ProfileStore {
 public:
  explicit ProfileStore(std::shared_ptr<fs::FileSystem> fs = fs::posixFileSystem(),
                        NewFileLineEnd newFileLineEnd = NewFileLineEnd::Lf,
                        BareNameSeen bareNameSeen = {});

  // The read forms without a status answer as the Windows functions do,
  // except when memory runs out: then they throw std::bad_alloc rather than
  // give a default that would pass for the file's answer.
  uint32_t getString(OptText section, OptText key, OptText defaultValue, std::span<char> buffer,
                     OptText file);
  uint32_t getInt(OptText section, OptText key, int32_t defaultValue, OptText file);
  uint32_t getSection(OptText section, std::span<char> buffer, OptText file);
  uint32_t getSectionNames(std::span<char> buffer, OptText file);
  int32_t writeString(OptText section, OptText key, OptText value, OptText file);
  // entries: "key=value" items, each ended by a NUL, the list ended by an
  // empty item or the end of the text.
  int32_t writeSection(OptText section, OptText entries, OptText file);
  // Writes and deletes several values in one locked cycle, so that the file
  // changes once (or not at all, when any change is refused): the same file
  // as writeString of each in turn, except that an empty section name
  // reaches the lines before the first header (writeString would add a "[]"
  // section, which no read finds). Not a Windows function.
  int32_t writeValues(std::span<const ValueWrite> writes, OptText file);
  int32_t writeValues(std::span<const ValueWrite> writes, OptText file, Status& status);
  // A change planned under the writers' lock from the file as it then is
  // (an empty file when missing), for a change that depends on what the
  // file holds (an item added to a list value, a change of only what
  // exists): no change another writer made meanwhile is lost. `planner`
  // answers splices (store/edit.h) of names and values that passed
  // store/write_rules.h; it may run more than once, and an exception it
  // throws leaves the file alone and reaches the caller. `changed` says
  // whether the file's bytes changed. Not a Windows function.
  int32_t update(const std::function<EditPlan(const Document&)>& planner, OptText file,
                 Status& status, bool& changed);
  // Makes every earlier change of the file durable, the file and its folder
  // synced, as the all-absent flush does (which answers 0 whatever happens,
  // as on Windows): 1, or 0 with the cause. A missing file syncs its folder.
  // Not a Windows function.
  int32_t sync(OptText file, Status& status);
  // The file as the reads see it (nullptr when missing or unreadable), for
  // what the profile functions do not answer, such as the lines before the
  // first header. Not a Windows function.
  std::shared_ptr<const Document> document(OptText file) {
    Status status = Status::Ok;
    return loadForRead(file, status);
  }
  uint32_t windowsDirectory(std::span<char> buffer) const;

  // The forms with a status; `status` is Ok when the file was read or
  // written (a read of a missing file answers the default with FileNotFound).
  // A read of a file that exists tells in its answer's `found` whether it
  // found the section and the key. A struct read fails with BadLength when
  // no text is stored for it (no file, section or key) or text of another
  // length, with BadChecksum when the checksum does not match.
  Answer readString(OptText section, OptText key, OptText defaultValue, OptText file,
                    Status& status);
  Answer readSection(OptText section, OptText file, Status& status);
  Answer readSectionNames(OptText file, Status& status);
  uint32_t getInt(OptText section, OptText key, int32_t defaultValue, OptText file,
                  Status& status, Found* found = nullptr);
  int32_t writeString(OptText section, OptText key, OptText value, OptText file, Status& status);
  int32_t writeSection(OptText section, OptText entries, OptText file, Status& status);

  // A structure stored as hexadecimal text with a checksum (store/struct_text.h).
  // getStruct fills `out` only when the stored text has exactly its length
  // and checksum; writeStruct with no data deletes the key.
  bool getStruct(OptText section, OptText key, std::span<uint8_t> out, OptText file,
                 Status& status);
  int32_t writeStruct(OptText section, OptText key, std::optional<std::span<const uint8_t>> data,
                      OptText file, Status& status);

  // The WIN.INI file the unnamed-file forms use.
  static constexpr std::string_view kWinIni = "C:\\WINDOWS\\WIN.INI";

  // Forgets every parsed file (tests use it to measure first reads).
  void dropCache() { cache_.clear(); }

 private:
  std::shared_ptr<const Document> loadForRead(OptText file, Status& status);
  void repairPending(const std::string& target);
  void noteBareName(OptText file);
  int32_t flush(OptText file);
  // A change as a write makes it: on a missing file, a delete (CreateEmpty)
  // leaves an empty file behind, as Windows does; other changes that change
  // nothing create no file.
  enum class OnMissingFile : uint8_t { CreateNone, CreateEmpty };
  template <typename Planner>
  int32_t modify(OptText file, Planner&& planner, Status& status,
                 OnMissingFile onMissing = OnMissingFile::CreateNone);
  template <typename Planner>
  int32_t modifyOnce(OptText file, Planner& planner, Status& status);
  Answer readValueOrKeys(std::string_view section, OptText key, std::string_view def, OptText file,
                         Status& status);

  std::shared_ptr<fs::FileSystem> fs_;
  NewFileLineEnd newFileLineEnd_;
  BareNameSeen bareNameSeen_;
  FileCache cache_;
  paths::FolderNames folderNames_;  // listings for case-insensitive matches
  LeftoverSweeps sweeps_;
};

}  // namespace zidevuv10::store
