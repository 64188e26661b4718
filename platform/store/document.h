// A parsed profile file: its bytes exactly as read, the encoding, where its
// section headers start, and (built on first use) a key index per section.
//
// The parsed form is kept small, whatever the file's shape: a 4-byte offset
// per section header, an index slot per distinct section name and, for a
// section once looked into, per distinct key; no text is copied except the
// section name list and the listings of larger sections once asked for.
// Small sections get no index at all (a lookup reads
// their few lines). Lines are not stored: a Line is worked out from the
// text when asked for, and it keeps both its decoded UTF-8 text and its
// byte range in the original file, so that a write can splice new lines
// into the original bytes and leave every other byte as it was. Files in
// another encoding than UTF-8 also keep their decoded text and the start of
// every line in both forms.
//
// A Document is immutable once parsed except for the key indexes, which are
// built under an internal mutex and never change afterwards: one Document
// may be read by many threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sync/fork_safe_mutex.h"
#include "store/file_bytes.h"
#include "store/name_table.h"
#include "text/encoding.h"

namespace zidevuv10::store {

enum class LineKind : uint8_t {
  Blank,    // nothing but blanks
  Comment,  // first non-blank character is ';'
  Header,   // "[name]"
  Entry,    // "name=value"
  Bare,     // text without "=": listed with the section's entries only
};

struct Line {
  uint32_t textBegin = 0;  // decoded UTF-8 text of the line, cut at a NUL
  uint32_t textEnd = 0;
  uint32_t rawBegin = 0;   // bytes of the line in the file, without its line end
  uint32_t rawEnd = 0;
  uint32_t rawNext = 0;    // start of the next line (after the line end)
  uint32_t equals = 0;     // offset of the first '=' from textBegin, when hasEquals
  LineKind kind = LineKind::Blank;
  bool hasEquals = false;
};

class Document {
 public:
  // Largest file the store handles; larger files read as missing and refuse writes.
  static constexpr std::size_t kMaxFileSize = 0x7FFF0000;
  // Sections of at least this many bytes get a key index on first lookup.
  static constexpr uint32_t kIndexedBody = 512;

  // Parses file bytes (empty for a missing file): as read by
  // readFileBytes(), or any text.
  static std::shared_ptr<const Document> parse(FileBytes raw);

  // Bytes [from, to) of a file replaced by `length` new bytes.
  struct Change {
    uint32_t from = 0;
    uint32_t to = 0;
    uint32_t length = 0;
  };
  // The document of `raw`, which is `base`'s bytes with `changes` (in file
  // order, not overlapping) made: what parse(raw) gives, built from `base`
  // by reading only the lines the changes touch when the file is plain
  // UTF-8 and no change makes, removes or alters a section header or the
  // file's first or last line end; otherwise by parse(raw).
  static std::shared_ptr<const Document> edited(const Document& base, FileBytes raw,
                                                std::span<const Change> changes);

  std::string_view raw() const { return raw_.view(); }
  // Memory the raw bytes take (their buffer may be bigger than the file).
  std::size_t rawCapacity() const { return raw_.capacity(); }
  text::Encoding encoding() const { return encoding_; }
  // The file's line end ("\n" for files without one), and whether it has one.
  std::string_view lineEnd() const { return lineEnd_; }
  bool hasLineEnd() const { return hasLineEnd_; }
  // Whether the file holds bytes that no text file has (NUL, most control bytes).
  bool looksBinary() const { return looksBinary_; }
  // Raw offset where text appended at the end of the file goes, and whether
  // the file's last line is ended (an empty file counts as ended).
  uint32_t endOfText() const { return endOfText_; }
  bool endsWithLineEnd() const { return endsWithLineEnd_; }

  int sectionCount() const { return static_cast<int>(headers_.size()); }
  Line header(int section) const;
  std::string_view sectionName(int section) const;
  // The lines before the first header (after any byte-order mark), which
  // belong to no section: the profile functions neither list nor find them,
  // but the members taking a section index accept this one for them.
  static constexpr int kPreamble = -2;

  // Calls f for each line after the section's header, up to the next header.
  void forEachBodyLine(int section, const std::function<void(const Line&)>& f) const;
  // Section names, each followed by NUL, in file order (unnamed "[]" left out).
  const std::string& sectionNameList() const { return sectionNameList_; }
  // The section's key names / "name=value" entries (and bare lines), each
  // followed by NUL: kept once asked for in a section of kIndexedBody bytes
  // or more, else put together in `scratch` on every call.
  std::string_view keyList(int section, std::string& scratch) const;
  std::string_view entryList(int section, std::string& scratch) const;

  std::string_view text(const Line& l) const;
  std::string_view name(const Line& l) const;   // trimmed text before '='
  std::string_view value(const Line& l) const;  // trimmed text after '='

  // First section of that name (compared without case), or -1.
  int findSection(std::string_view name) const;
  // The first line of the section holding that key (compared without case).
  std::optional<Line> findKey(int section, std::string_view key) const;

  // Bytes held by the parsed file (its raw bytes included), for measurements.
  std::size_t memoryUsed() const;

 private:
  Document() = default;
  void decodeAll();
  void scanLines();
  void indexSections();
  // The line starting at text offset `begin`, ending before `next` (the
  // next line's start or the end of its section).
  Line makeLine(uint32_t begin, uint32_t next) const;
  // Text offset of the start of the line after the one starting at `begin`.
  uint32_t nextLineStart(uint32_t begin) const;
  // The trimmed text before '=' of the line starting at `begin`.
  std::string_view lineName(uint32_t begin) const;
  uint32_t bodyBegin(int section) const;
  uint32_t bodyEnd(int section) const;
  std::string_view headerName(uint32_t begin) const;
  const NameTable& keyIndex(int section) const;

  FileBytes raw_;
  std::string decoded_;         // decoded text when the file is not plain UTF-8
  const char* base_ = nullptr;  // raw_ or decoded_: where text offsets point
  uint32_t textSize_ = 0;       // end of the text at base_
  bool identity_ = true;        // text offsets are raw offsets
  text::Encoding encoding_ = text::Encoding::Utf8;
  std::size_t markLength_ = 0;
  std::string lineEnd_ = "\n";
  bool hasLineEnd_ = false;
  bool looksBinary_ = false;
  uint32_t endOfText_ = 0;
  bool endsWithLineEnd_ = true;
  // Decoded files only: the start of every line in the text and in the raw
  // bytes, with one more pair for the end.
  std::vector<uint32_t> textStarts_;
  std::vector<uint32_t> rawStarts_;
  std::vector<uint32_t> headers_;  // text offset of each section header line
  NameTable sectionIndex_;         // first section of each name
  std::string sectionNameList_;

  // Listings kept for larger sections.
  struct Lists {
    std::optional<std::string> keys;
    std::optional<std::string> entries;
  };
  void appendKeyList(int section, std::string& out) const;
  void appendEntryList(int section, std::string& out) const;
  std::string_view keptList(int section, bool keys, std::string& scratch) const;

  mutable sync::ForkSafeMutex keysMutex_;
  mutable std::unordered_map<int, std::unique_ptr<NameTable>> keys_;
  mutable std::unordered_map<int, std::unique_ptr<Lists>> lists_;
};

}  // namespace zidevuv10::store
